#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace lt {

enum class TOperation { opInsert, opRemove };

// The smallest owner model the window components need: an owner destroys
// what it owns, and tells every owned component when one of them goes away,
// so that references between siblings can be dropped.
class TComponent {
public:
    explicit TComponent(TComponent* AOwner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    void SetName(std::string value) { FName = std::move(value); }
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t value) { FTag = value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(static_cast<std::size_t>(index)); }

    // The loading phase of a stored definition: properties assigned between
    // the two calls are "read"; EndLoading runs Loaded.
    void BeginLoading() { FLoading = true; }
    void EndLoading();
    bool Loading() const { return FLoading; }

protected:
    virtual void Loaded();
    // Passed on to every owned component; an owner calls it with opRemove on
    // itself when one of its components is destroyed.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

private:
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::string FName;
    std::intptr_t FTag = 0;
    bool FLoading = false;
};

} // namespace lt
