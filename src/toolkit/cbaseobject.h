#pragma once
// The toolkit's root object: anything that can be told of an event by a
// message id (a timer firing, a control's value changing).

namespace VSTGUI {

using IdStringPtr = const char*;

enum CMessageResult { kMessageUnknown = 0, kMessageNotified = 1 };

class CBaseObject {
public:
    virtual ~CBaseObject() = default;
    virtual CMessageResult notify(CBaseObject* sender, IdStringPtr message)
    {
        (void)sender;
        (void)message;
        return kMessageUnknown;
    }
};

} // namespace VSTGUI
