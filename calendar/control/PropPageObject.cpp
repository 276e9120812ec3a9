#include "calendar/control/PropPageObject.h"

#include <QApplication>

namespace quirn::vorncal {

using namespace quirn::com;

HResult PropPageObject::create(const Guid& iid, void** out) {
    if (!out) return kPointerError;
    *out = nullptr;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return kFail;
    auto* object = new PropPageObject();
    const HResult hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

PropPageObject::PropPageObject() : page_(new CVornCalendarIIIPropPage()) {}

PropPageObject::~PropPageObject() {
    delete page_.data();
}

HResult PropPageObject::QueryInterface(const Guid& iid, void** out) {
    if (!out) return kPointerError;
    if (iid == kIidUnknown || iid == kIidPropertyPage)
        *out = static_cast<IPropertyPage*>(this);
    else if (iid == kIidControlWindow)
        *out = static_cast<IControlWindow*>(this);
    else {
        *out = nullptr;
        return kNoInterface;
    }
    AddRef();
    return kOk;
}

std::uint32_t PropPageObject::Release() {
    const std::uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

HResult PropPageObject::GetTitle(const char** title) {
    if (!title) return kPointerError;
    *title = kPropPageCaption;
    return kOk;
}

HResult PropPageObject::GetWindow(void** widget) {
    if (!widget) return kPointerError;
    *widget = page_.data();
    return page_ ? kOk : kUnexpected;
}

}  // namespace quirn::vorncal
