#include "remote/NetworkServer.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/ssl.hpp>
#include <optional>
#include <thread>

#include "remote/HttpConnection.h"

namespace arvestra::remote {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace {

// After a failed accept (out of descriptors, say) the next one waits this long, so a full
// table is not retried in a busy loop.
constexpr std::chrono::milliseconds kAcceptBackOff{100};

std::optional<asio::ssl::context> MakeTlsContext(const TlsIdentity& identity) {
    asio::ssl::context context(asio::ssl::context::tls_server);
    context.set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                        asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                        asio::ssl::context::no_tlsv1_1 | asio::ssl::context::single_dh_use);
    boost::system::error_code ec;
    context.use_certificate_chain(asio::buffer(identity.certificatePem), ec);
    if (!ec) context.use_private_key(asio::buffer(identity.keyPem), asio::ssl::context::pem, ec);
    if (ec) return std::nullopt;
    return context;
}

}  // namespace

struct NetworkServer::Impl {
    Impl(const ServerLimits& limits, PageFiles files, NetworkEvents events,
         const TlsIdentity* identity)
        : core(limits, std::move(files), std::move(events), identity != nullptr) {
        if (identity) tls = MakeTlsContext(*identity);
    }

    void Accept() {
        acceptor.async_accept([this](boost::system::error_code ec, tcp::socket socket) {
            if (ec == asio::error::operation_aborted) return;
            if (ec) {
                backOff.expires_after(kAcceptBackOff);
                backOff.async_wait([this](boost::system::error_code waited) {
                    if (!waited) Accept();
                });
                return;
            }
            Take(std::move(socket));
            Accept();
        });
    }

    void Take(tcp::socket socket) {
        if (!core.MakeRoom()) return;  // the socket closes as it goes
        boost::system::error_code ec;
        const tcp::endpoint peer = socket.remote_endpoint(ec);
        if (ec) return;
        socket.set_option(tcp::no_delay(true), ec);
        // A page's unread messages wait in our queue, where they are counted, not in the
        // kernel's.
        socket.set_option(asio::socket_base::send_buffer_size(kSendBufferBytes), ec);
        const std::string address = peer.address().to_string();
        if (tls) {
            Start<boost::beast::ssl_stream<boost::beast::tcp_stream>>(
                boost::beast::ssl_stream<boost::beast::tcp_stream>(
                    boost::beast::tcp_stream(std::move(socket)), *tls),
                address);
        } else {
            Start<boost::beast::tcp_stream>(boost::beast::tcp_stream(std::move(socket)), address);
        }
    }

    template <class Stream>
    void Start(Stream&& stream, const std::string& peer) {
        auto connection = std::make_shared<HttpConnection<Stream>>(core, ServerCore::NewId(),
                                                                   std::move(stream), peer);
        core.Register(connection);
        connection->Run();
    }

    static constexpr int kSendBufferBytes = 64 * 1024;

    ServerCore core;
    std::optional<asio::ssl::context> tls;
    asio::io_context io{1};
    tcp::acceptor acceptor{io};
    asio::steady_timer backOff{io};
    std::thread thread;
};

NetworkServer::NetworkServer(const ServerLimits& limits, PageFiles files, NetworkEvents events,
                             const TlsIdentity* identity)
    : impl_(std::make_unique<Impl>(limits, std::move(files), std::move(events), identity)) {}

NetworkServer::~NetworkServer() {
    if (impl_->thread.joinable()) {
        asio::post(impl_->io, [impl = impl_.get()] {
            boost::system::error_code ignored;
            impl->acceptor.close(ignored);
            impl->backOff.cancel();
            impl->core.AbortAll();
        });
        impl_->io.stop();
        impl_->thread.join();
    }
}

bool NetworkServer::Listen(const std::string& address, std::uint16_t port, std::string* error) {
    boost::system::error_code ec;
    const asio::ip::address host = asio::ip::make_address(address, ec);
    if (ec) {
        if (error) *error = "\"" + address + "\" is not an IP address";
        return false;
    }
    if (impl_->core.secure && !impl_->tls) {
        if (error) *error = "the certificate or key cannot be used";
        return false;
    }
    const tcp::endpoint endpoint(host, port);
    tcp::acceptor& acceptor = impl_->acceptor;
    acceptor.open(endpoint.protocol(), ec);
    if (!ec) acceptor.set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec) acceptor.bind(endpoint, ec);
    if (!ec) acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        if (error) *error = ec.message();
        acceptor.close(ec);
        return false;
    }
    port_ = acceptor.local_endpoint(ec).port();
    impl_->Accept();
    impl_->thread = std::thread([impl = impl_.get()] { impl->io.run(); });
    return true;
}

void NetworkServer::SetCodes(const std::string& full, const std::string& readOnly) {
    asio::post(impl_->io, [impl = impl_.get(), full, readOnly] {
        impl->core.policy.SetCodes(full, readOnly);
    });
}

void NetworkServer::Send(std::uint64_t page, std::shared_ptr<const std::string> text) {
    asio::post(impl_->io, [impl = impl_.get(), page, text = std::move(text)]() mutable {
        if (auto connection = impl->core.Find(page)) connection->Send(std::move(text));
    });
}

void NetworkServer::Close(std::uint64_t page, int code, const std::string& reason) {
    asio::post(impl_->io, [impl = impl_.get(), page, code, reason] {
        if (auto connection = impl->core.Find(page)) connection->CloseWith(code, reason);
    });
}

void NetworkServer::Resume(std::uint64_t page) {
    asio::post(impl_->io, [impl = impl_.get(), page] {
        if (auto connection = impl->core.Find(page)) connection->Resume();
    });
}

}  // namespace arvestra::remote
