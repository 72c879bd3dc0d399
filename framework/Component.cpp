// The component base.
#include "framework/Component.h"

#include <algorithm>

namespace fw {

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_) owner_->Insert(this);
}

TComponent::~TComponent()
{
    DestroyComponents();
    if (owner_) owner_->Remove(this);
}

void TComponent::DestroyComponents()
{
    while (!components_.empty()) delete components_.back();  // each leaves the list itself
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    auto it = std::find_if(components_.begin(), components_.end(), [&](const TComponent* c) { return c->Name == name; });
    return it == components_.end() ? nullptr : *it;
}

void TComponent::Remove(TComponent* child)
{
    auto it = std::find(components_.begin(), components_.end(), child);
    if (it != components_.end()) components_.erase(it);
}

}  // namespace fw
