#include "components/Component.h"

#include <algorithm>

namespace lt {

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    // Newest first, the way they were stacked up; each one unlinks itself.
    while (!FComponents.empty())
        delete FComponents.back();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::EndLoading()
{
    FLoading = false;
    Loaded();
}

void TComponent::Loaded() {}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    // Copy: a handler may not add or remove components, but be safe if it does.
    const std::vector<TComponent*> owned = FComponents;
    for (TComponent* c : owned)
        if (std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end())
            c->Notification(AComponent, Operation);
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    AComponent->FOwner = this;
    FComponents.push_back(AComponent);
    Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    // Unlinked first: the component is half destroyed and must not be called.
    std::erase(FComponents, AComponent);
    AComponent->FOwner = nullptr;
    Notification(AComponent, TOperation::opRemove);
}

} // namespace lt
