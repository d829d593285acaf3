// The base of every component: ownership by an owner, names, tags, and event closures.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
  virtual const char* ClassName() const noexcept { return "TObject"; }
};

// Every event receives the object that raised it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Binds a member function of a form (or any object) as an event handler:
//   btnLocNow->OnClick = Handler(this, &TfrmMain::btnLocD2SClick);
template <class C, class... Args>
std::function<void(Args...)> Handler(C* self, void (C::*method)(Args...)) {
  return [self, method](Args... args) { (self->*method)(std::forward<Args>(args)...); };
}

// A component is owned by its owner and destroyed with it, last created first. Deleting a
// component directly is also allowed: it leaves its owner's list.
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  const char* ClassName() const noexcept override { return "TComponent"; }

  TComponent* Owner() const noexcept { return owner_; }
  int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
  // The owned component of that name, or nullptr.
  TComponent* FindComponent(const std::string& name) const;

  std::string Name;

 protected:
  // Frees the owned components now (containers do this before their own window goes).
  void DestroyComponents();

 private:
  TComponent* owner_;
  std::vector<TComponent*> components_;
};
