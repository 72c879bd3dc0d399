// The caption above the list, for the eye and for screen readers.
#include "ui/ListCaption.h"

#include "ui/LiveRegion.h"

namespace {
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED, Windows 8 and later
}  // namespace

TListCaption::TListCaption(fw::TForm& form, fw::TLabel& label, std::function<int()> wide)
    : form_(form), label_(label), wide_(std::move(wide)), bare_(label.Caption()), own_(bare_), shown_(bare_)
{
    readerText_ = fw::Create<fw::TNameLabel>(&form, &form, own_);
    readerText_->Name = "ListCaptionText";
    form.Place(readerText_, label.PlacedAt().value());
}

void TListCaption::ShowAction(const std::string& text)
{
    action_ = text;
    if (Put(text.empty() ? own_ : text)) Announce();
}

void TListCaption::ShowOwn(const std::string& text)
{
    own_ = text;
    if (action_.empty()) Put(own_);
}

void TListCaption::ShowProgress(const std::string& caption, bool retell)
{
    action_ = caption;
    Put(action_);
    if (!retell) return;
    // Narrator reads a live region only when the window is marked as one.
    if (!live_) MarkPoliteLiveRegion(readerText_->Handle());
    live_ = true;
    Announce();
}

void TListCaption::EndBatch()
{
    ShowAction({});
}

bool TListCaption::Put(const std::string& caption)
{
    if (caption == shown_) return false;
    shown_ = caption;
    // A longer caption takes the list's width.
    const fw::TBounds at = form_.Scaled(label_.PlacedAt().value());
    const fw::TBounds bounds{at.left, at.top, caption == bare_ ? at.width : wide_(), at.height};
    label_.SetBounds(bounds);
    label_.SetCaption(caption);
    readerText_->SetText(caption);
    readerText_->SetBounds(bounds);
    return true;
}

void TListCaption::Announce()
{
    NotifyWinEvent(kLiveRegionChanged, readerText_->Handle(), OBJID_CLIENT, CHILDID_SELF);
}
