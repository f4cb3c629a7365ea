// A page's WebSocket on the network thread (over TLS or not, as Stream says): reads the page's
// messages one at a time and hands each to the document, pausing while too many wait there;
// sends what the document gives it from a queue with a bound, dropping a page that stops
// reading; pings a silent page and drops it when it stays silent. Private to NetworkServer.cpp.
#pragma once

#include <boost/asio/buffer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <deque>
#include <memory>
#include <string>

#include "remote/Connection.h"
#include "remote/ServerCore.h"

namespace arvestra::remote {

template <class Stream>
class PageSocket : public Connection, public std::enable_shared_from_this<PageSocket<Stream>> {
  public:
    using Request = boost::beast::http::request<boost::beast::http::empty_body>;

    PageSocket(ServerCore& core, std::uint64_t id, Stream&& stream, std::string peer, Access access)
        : Connection(id),
          core_(core),
          ws_(std::move(stream)),
          peer_(std::move(peer)),
          access_(access),
          readBuffer_(core.limits.maxMessageBytes + 1024) {}

    // Answers the upgrade; with a refusal, closes the socket at once with its reason so that
    // the page can show it (and stop retrying).
    void Accept(const Request& request, const std::string& refusal = {}) {
        namespace websocket = boost::beast::websocket;
        boost::beast::get_lowest_layer(ws_).expires_never();
        websocket::stream_base::timeout timeout{};
        timeout.handshake_timeout = core_.limits.headerTimeout;
        timeout.idle_timeout = core_.limits.pingTimeout;
        timeout.keep_alive_pings = true;
        ws_.set_option(timeout);
        ws_.read_message_max(core_.limits.maxMessageBytes);
        ws_.set_option(websocket::stream_base::decorator([](websocket::response_type& response) {
            response.set("Referrer-Policy", "no-referrer");
        }));
        ws_.async_accept(
            request, [self = this->shared_from_this(), refusal](boost::beast::error_code ec) {
                if (ec) return self->Finish();
                if (!refusal.empty()) {
                    return self->CloseWith(websocket::close_code::policy_error, refusal);
                }
                self->opened_ = true;
                self->core_.events.opened(self->Id(), self->peer_, self->access_);
                self->Read();
            });
    }

    bool Trusted() const override { return access_ != Access::None; }

    void Abort() override {
        boost::beast::error_code ignored;
        boost::beast::get_lowest_layer(ws_).socket().close(ignored);
        Finish();
    }

    void Send(std::shared_ptr<const std::string> text) override {
        if (finished_ || closing_) return;
        queuedBytes_ += text->size();
        if (queuedBytes_ > core_.limits.maxQueuedBytes) return Abort();  // not reading
        queue_.push_back(std::move(text));
        if (!writing_) WriteNext();
    }

    void CloseWith(int code, const std::string& reason) override {
        if (finished_ || closing_) return;
        closing_ = true;
        closeReason_ = boost::beast::websocket::close_reason(
            static_cast<boost::beast::websocket::close_code>(code), reason);
        if (!writing_) StartClose();
    }

    void Resume() override {
        if (inFlight_ > 0) --inFlight_;
        if (paused_ && !finished_) {
            paused_ = false;
            Read();
        }
    }

  private:
    void Read() {
        if (inFlight_ >= core_.limits.maxMessagesInFlight) {
            paused_ = true;
            return;
        }
        ws_.async_read(readBuffer_,
                       [self = this->shared_from_this()](boost::beast::error_code ec, std::size_t) {
                           self->OnRead(ec);
                       });
    }

    void OnRead(boost::beast::error_code ec) {
        if (ec) return Finish();
        if (!ws_.got_text()) {
            return CloseWith(boost::beast::websocket::close_code::bad_payload,
                             "text messages only");
        }
        std::string text = boost::beast::buffers_to_string(readBuffer_.data());
        readBuffer_.consume(readBuffer_.size());
        ++inFlight_;
        core_.events.message(Id(), std::move(text));
        Read();
    }

    void WriteNext() {
        writing_ = true;
        ws_.text(true);
        ws_.async_write(boost::asio::buffer(*queue_.front()),
                        [self = this->shared_from_this()](boost::beast::error_code ec,
                                                          std::size_t) { self->OnWritten(ec); });
    }

    void OnWritten(boost::beast::error_code ec) {
        writing_ = false;
        if (ec) return Finish();
        queuedBytes_ -= queue_.front()->size();
        queue_.pop_front();
        if (closing_) return StartClose();
        if (!queue_.empty()) WriteNext();
    }

    void StartClose() {
        ws_.async_close(closeReason_, [self = this->shared_from_this()](boost::beast::error_code) {
            self->Finish();
        });
    }

    void Finish() {
        if (finished_) return;
        finished_ = true;
        core_.Unregister(Id(), this);
        if (opened_) core_.events.closed(Id());
    }

    ServerCore& core_;
    boost::beast::websocket::stream<Stream> ws_;
    std::string peer_;
    Access access_;
    boost::beast::flat_buffer readBuffer_;
    std::deque<std::shared_ptr<const std::string>> queue_;
    std::size_t queuedBytes_ = 0;
    int inFlight_ = 0;
    bool paused_ = false;
    bool writing_ = false;
    bool closing_ = false;
    bool opened_ = false;
    bool finished_ = false;
    boost::beast::websocket::close_reason closeReason_;
};

}  // namespace arvestra::remote
