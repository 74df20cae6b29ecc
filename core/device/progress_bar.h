#pragma once

#include <string>

// The progress sink of device transfers. A transfer calls Begin once, then SetPosition and SetCaption as it
// goes, asks IsCancelled before each step, and calls End. Begin/End pairs may nest.
class CKivProgressBar {
  public:
    virtual ~CKivProgressBar() = default;

    virtual void Begin(int range, const std::string& caption, bool cancellable) = 0;
    virtual void End() = 0;
    virtual void SetPosition(int position) { position_ = position; }
    virtual void SetCaption(const std::string& caption) { caption_ = caption; }
    virtual bool IsCancelled() { return false; }
    virtual void SetRange(int /*range*/) {}

    int GetRange() const { return range_; }
    int GetPosition() const { return position_; }
    const std::string& GetCaption() const { return caption_; }
    bool IsCancellable() const { return cancellable_; }

  protected:
    int range_ = 100;
    int position_ = 0;
    std::string caption_;
    bool cancellable_ = false;
};
