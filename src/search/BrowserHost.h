#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace lt {

// The embedded browser as the search sees it. Read operations raise lt::Error
// when the document cannot answer (no document, no links collection, a
// renderer that does not respond).
class BrowserHost {
public:
    virtual ~BrowserHost() = default;

    // Starts loading and returns without waiting for the page.
    virtual void navigate(const std::string& address) = 0;
    // Address of the document now shown; empty before anything was loaded.
    virtual std::string locationUrl() = 0;
    // Entries of the document's links collection (anchors and areas with an
    // address, in document order).
    virtual std::int32_t linkCount() = 0;
    // Resolved absolute address of entry i, 0 <= i < linkCount().
    virtual std::string linkText(std::int32_t i) = 0;

    // Page-complete mark: 0 after a navigation, 9 after a completion.
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // Receives every completion notification, for the top document or a frame,
    // also while no search runs.
    void setCompletionHandler(std::function<void()> handler) { onComplete_ = std::move(handler); }

protected:
    // Implementations call this on every completion.
    void notifyComplete()
    {
        if (onComplete_)
            onComplete_();
    }

private:
    int tag_ = 0;
    std::function<void()> onComplete_;
};

} // namespace lt
