// One connection to the remote server on the network thread (over TLS or not, as Stream says):
// the encryption handshake and each request header under a deadline, the header's size capped,
// and every request judged by the access policy from its header alone. A body is never read:
// its request is answered and the connection closed. A socket request that is let in becomes
// a PageSocket. Private to NetworkServer.cpp.
#pragma once

#include <array>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket.hpp>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "remote/Connection.h"
#include "remote/PageSocket.h"
#include "remote/ServerCore.h"

namespace arvestra::remote {

template <class Stream>
class HttpConnection : public Connection,
                       public std::enable_shared_from_this<HttpConnection<Stream>> {
  public:
    static constexpr bool kTls = !std::is_same_v<Stream, boost::beast::tcp_stream>;

    HttpConnection(ServerCore& core, std::uint64_t id, Stream&& stream, std::string peer)
        : Connection(id),
          core_(core),
          stream_(std::move(stream)),
          peer_(std::move(peer)),
          buffer_(core.limits.maxHeaderBytes + 4096) {}

    void Run() {
        boost::beast::get_lowest_layer(stream_).expires_after(core_.limits.headerTimeout);
        if constexpr (kTls) {
            stream_.async_handshake(boost::asio::ssl::stream_base::server,
                                    [self = this->shared_from_this()](boost::beast::error_code ec) {
                                        if (ec) return self->Finish();
                                        self->ReadHeader();
                                    });
        } else {
            ReadHeader();
        }
    }

    bool Trusted() const override { return trusted_; }

    void Abort() override {
        boost::beast::error_code ignored;
        boost::beast::get_lowest_layer(stream_).socket().close(ignored);
        Finish();
    }

  private:
    using Request = boost::beast::http::request<boost::beast::http::empty_body>;
    using Response = boost::beast::http::response<boost::beast::http::string_body>;

    void ReadHeader() {
        namespace http = boost::beast::http;
        parser_.emplace();
        parser_->header_limit(static_cast<std::uint32_t>(core_.limits.maxHeaderBytes));
        parser_->body_limit(0);  // a header that announces a body ends with body_limit
        http::async_read_header(
            stream_, buffer_, *parser_,
            [self = this->shared_from_this()](boost::beast::error_code ec, std::size_t) {
                self->OnHeader(ec);
            });
    }

    void OnHeader(boost::beast::error_code ec) {
        namespace http = boost::beast::http;
        const bool announcesBody = ec == http::error::body_limit;
        if (ec == http::error::header_limit || ec == http::error::buffer_overflow) {
            return Respond(431, "The request's headers are too large.", {}, "", true);
        }
        if (ec && !announcesBody) return Finish();  // time-out, reset or not HTTP
        const Request& request = parser_->get();
        RequestFacts facts;
        facts.method = std::string(request.method_string());
        facts.target = std::string(request.target());
        facts.host = std::string(request[http::field::host]);
        facts.origin = std::string(request[http::field::origin]);
        facts.cookie = std::string(request[http::field::cookie]);
        facts.peer = peer_;
        facts.hasBody = announcesBody || parser_->chunked();
        facts.upgrade = boost::beast::websocket::is_upgrade(request);
        const Decision decision = core_.policy.Decide(facts, CodeGate::Clock::now());
        if (decision.resource == Resource::Socket) return Upgrade(decision);
        // A refused request gets no second try on the same connection.
        if (decision.status != 200) {
            return Respond(decision.status, decision.text, "text/plain; charset=utf-8", "", true);
        }
        trusted_ = true;
        const auto [content, type] = File(decision.resource);
        Respond(200, *content, type, decision.setCookie, !request.keep_alive());
    }

    std::pair<const std::string*, const char*> File(Resource resource) const {
        switch (resource) {
            case Resource::Script:
                return {&core_.files.script, "text/javascript; charset=utf-8"};
            case Resource::Style:
                return {&core_.files.style, "text/css; charset=utf-8"};
            default:
                return {&core_.files.page, "text/html; charset=utf-8"};
        }
    }

    void Upgrade(const Decision& decision) {
        auto socket = std::make_shared<PageSocket<Stream>>(core_, Id(), std::move(stream_), peer_,
                                                           decision.access);
        core_.Register(socket);
        socket->Accept(parser_->get(), decision.status == 200 ? std::string() : decision.text);
        finished_ = true;  // the connection is the socket's now
    }

    void Respond(int status, const std::string& body, const char* type, const std::string& cookie,
                 bool close) {
        namespace http = boost::beast::http;
        auto response = std::make_shared<Response>(static_cast<http::status>(status), 11);
        if (type && *type) response->set(http::field::content_type, type);
        response->set(http::field::cache_control, "no-store");
        response->set("X-Content-Type-Options", "nosniff");
        response->set("Referrer-Policy", "no-referrer");
        response->set("Content-Security-Policy",
                      "default-src 'self'; connect-src 'self'; frame-ancestors 'none'");
        if (status == 405) response->set(http::field::allow, "GET");
        if (!cookie.empty()) response->set(http::field::set_cookie, cookie);
        response->body() = body;
        response->keep_alive(!close);
        response->prepare_payload();
        http::async_write(stream_, *response,
                          [self = this->shared_from_this(), response, close](
                              boost::beast::error_code ec, std::size_t) {
                              if (ec) return self->Finish();
                              if (close) return self->Linger();
                              boost::beast::get_lowest_layer(self->stream_)
                                  .expires_after(self->core_.limits.idleTimeout);
                              self->ReadHeader();
                          });
    }

    // Stops sending and throws away what the client still sends for a moment, so that it reads
    // the answer before the connection closes (closing on unread bytes would reset it first).
    void Linger() {
        auto& tcp = boost::beast::get_lowest_layer(stream_);
        boost::beast::error_code ignored;
        tcp.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_send, ignored);
        tcp.expires_after(core_.limits.headerTimeout);
        Discard();
    }

    void Discard() {
        auto& tcp = boost::beast::get_lowest_layer(stream_);
        tcp.async_read_some(
            boost::asio::buffer(scratch_),
            [self = this->shared_from_this()](boost::beast::error_code ec, std::size_t n) {
                self->discarded_ += n;
                if (ec || self->discarded_ > kMaxDiscardBytes) {
                    return self->Abort();
                }
                self->Discard();
            });
    }

    void Finish() {
        if (finished_) return;
        finished_ = true;
        core_.Unregister(Id(), this);
    }

    static constexpr std::size_t kMaxDiscardBytes = 1024 * 1024;

    ServerCore& core_;
    Stream stream_;
    std::string peer_;
    boost::beast::flat_buffer buffer_;
    std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> parser_;
    std::array<char, 8192> scratch_{};
    std::size_t discarded_ = 0;
    bool trusted_ = false;
    bool finished_ = false;
};

}  // namespace arvestra::remote
