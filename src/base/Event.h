// A tiny typed event: listeners subscribe with a callback and unsubscribe by token.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace qs {

template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;
    using Token = std::size_t;

    Token Subscribe(Handler handler) {
        handlers_.emplace_back(++lastToken_, std::move(handler));
        return lastToken_;
    }

    void Unsubscribe(Token token) {
        std::erase_if(handlers_, [token](const auto& h) { return h.first == token; });
    }

    // Listeners may subscribe or unsubscribe while the event is being raised; the
    // raise reaches those that were subscribed when it began.
    void Raise(Args... args) const {
        auto snapshot = handlers_;
        for (auto& [token, handler] : snapshot) handler(args...);
    }

private:
    std::vector<std::pair<Token, Handler>> handlers_;
    Token lastToken_ = 0;
};

}  // namespace qs
