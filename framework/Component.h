// The component base: a name, an owner, and the components it owns and frees.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace fw {

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }
    // The owned component of that name; none when there is none.
    TComponent* FindComponent(const std::string& name) const;
    // Destroys the owned components, the last created first.
    void DestroyComponents();

    std::string Name;

private:
    void Insert(TComponent* child) { components_.push_back(child); }
    void Remove(TComponent* child);

    TComponent* owner_;
    std::vector<TComponent*> components_;
};

// Creates a component that its owner frees.
template <typename T, typename... Args>
T* Create(TComponent* owner, Args&&... args)
{
    return new T(owner, std::forward<Args>(args)...);
}

using TNotifyEvent = std::function<void(TComponent* sender)>;

}  // namespace fw
