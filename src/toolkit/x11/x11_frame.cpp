#include "toolkit/x11/x11_frame.h"

#include "toolkit/cframe.h"
#include "toolkit/cvstguitimer.h"
#include "toolkit/x11/x11_display_scale.h"
#include "toolkit/x11/x11_errors.h"
#include "toolkit/x11/x11_input.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cmath>

namespace VSTGUI {

std::unique_ptr<IPlatformFrame> makePlatformFrame(CFrame& frame, void* parent, PlatformType type,
                                                  IPlatformFrameConfig* config)
{
    if (type != PlatformType::kDefaultNative && type != PlatformType::kX11EmbedWindowID)
        return nullptr;
    auto* x11Config = dynamic_cast<X11::FrameConfig*>(config);
    return X11::Frame::create(frame, reinterpret_cast<std::uintptr_t>(parent),
                              x11Config ? x11Config->runLoop : nullptr);
}

namespace X11 {

namespace {

constexpr long eventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                           KeyReleaseMask | EnterWindowMask | LeaveWindowMask | StructureNotifyMask | FocusChangeMask;
constexpr unsigned int anyButtonMask = Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;
constexpr Time doubleClickTime = 300;

} // namespace

std::unique_ptr<Frame> Frame::create(CFrame& frame, unsigned long parent, std::shared_ptr<IRunLoop> runLoop)
{
    if (parent == None)
        return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    const CRect size = frame.getDeviceSize();
    XSetWindowAttributes attributes{};
    attributes.event_mask = eventMask;
    attributes.background_pixmap = None; // no flicker: the frame paints it all
    attributes.bit_gravity = NorthWestGravity;
    Window window = None;
    {
        IgnoredErrors guard(display);
        window = XCreateWindow(display, parent, 0, 0, unsigned(size.getWidth()), unsigned(size.getHeight()), 0,
                               CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixmap | CWBitGravity,
                               &attributes);
    }
    XWindowAttributes created{};
    if (window == None || !XGetWindowAttributes(display, window, &created)) {
        XCloseDisplay(display);
        return nullptr;
    }
    // XEmbed hosts read this as soon as the window exists and map it
    // themselves; version 0, and flags 0 (not yet mapped), or they refuse it.
    const Atom xembedInfo = XInternAtom(display, "_XEMBED_INFO", False);
    const long info[2] = {0, 0};
    XChangeProperty(display, window, xembedInfo, xembedInfo, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(info), 2);
    XFlush(display);
    // Hosts that do not embed leave mapping to the plug-in.
    XMapWindow(display, window);
    XFlush(display);
    return std::unique_ptr<Frame>(new Frame(frame, display, window, std::move(runLoop)));
}

Frame::Frame(CFrame& owner, _XDisplay* xDisplay, unsigned long xWindow, std::shared_ptr<IRunLoop> loop)
    : frame(owner), display(xDisplay), window(xWindow), runLoop(std::move(loop)), keyboardFocus(xDisplay, xWindow)
{
    const CRect size = frame.getDeviceSize();
    blitter = std::make_unique<Blitter>(display, window, int(size.getWidth()), int(size.getHeight()));
    if (runLoop) {
        runLoop->registerEventHandler(ConnectionNumber(display), this);
        runLoop->registerTimer(timerInterval, this);
    }
}

Frame::~Frame()
{
    if (runLoop) {
        runLoop->unregisterTimer(this);
        runLoop->unregisterEventHandler(this);
    }
    blitter.reset();
    if (window != None) {
        keyboardFocus.giveBack(CurrentTime);
        IgnoredErrors guard(display);
        XDestroyWindow(display, window);
    }
    XCloseDisplay(display);
}

void* Frame::getNativeHandle() const { return reinterpret_cast<void*>(std::uintptr_t(window)); }

double Frame::getNativeScale() const { return displayScale(display); }

void Frame::setSize(const CRect& size)
{
    if (window == None)
        return;
    XResizeWindow(display, window, unsigned(size.getWidth()), unsigned(size.getHeight()));
    blitter = std::make_unique<Blitter>(display, window, int(size.getWidth()), int(size.getHeight()));
    exposed.push_back(size);
    XFlush(display);
}

void Frame::onEvent()
{
    processEvents();
    repaint();
}

void Frame::onTimer()
{
    CVSTGUITimer::fireDueTimers();
    processEvents();
    repaint();
}

void Frame::update()
{
    processEvents();
    repaint();
}

void Frame::processEvents()
{
    // Some hosts call when nothing is pending: XPending never blocks.
    while (window != None && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        handle(event);
    }
}

void Frame::handle(_XEvent& event)
{
    switch (event.type) {
    case Expose:
        exposed.emplace_back(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                             event.xexpose.y + event.xexpose.height);
        break;
    case ButtonPress:
        handleButtonPress(event);
        break;
    case ButtonRelease:
        if (const std::int32_t button = buttonFlag(event.xbutton.button)) {
            CPoint where = frame.deviceToFrame(CPoint(event.xbutton.x, event.xbutton.y));
            frame.onMouseUp(where, button | modifiersFromState(event.xbutton.state));
            // A drag that ended outside the window left it without passing
            // the leave that gives the keyboard back.
            if (!frame.getDeviceSize().pointInside(CPoint(event.xbutton.x, event.xbutton.y)))
                keyboardFocus.giveBack(event.xbutton.time);
        }
        break;
    case MotionNotify: {
        // Only the latest position of a burst matters.
        while (XCheckTypedWindowEvent(display, window, MotionNotify, &event)) {
        }
        CPoint where = frame.deviceToFrame(CPoint(event.xmotion.x, event.xmotion.y));
        frame.onMouseMoved(where, buttonsFromState(event.xmotion.state));
        break;
    }
    case KeyPress:
    case KeyRelease: {
        VstKeyCode code = keyCodeFromEvent(event.xkey);
        const std::int32_t used = event.type == KeyPress ? frame.onKeyDown(code) : frame.onKeyUp(code);
        if (used != 1)
            keyboardFocus.forward(event);
        break;
    }
    case LeaveNotify:
        // Leaving for the host's own controls: the keys are the host's
        // again (not while a button is held: that is a drag going on).
        if (event.xcrossing.mode == NotifyNormal && event.xcrossing.detail != NotifyInferior &&
            !(event.xcrossing.state & anyButtonMask))
            keyboardFocus.giveBack(event.xcrossing.time);
        break;
    case FocusOut:
        // Only a real move of the focus elsewhere: not a grab, nor the
        // pointer-root focus leaving as the window takes it.
        if (event.xfocus.window == window && event.xfocus.mode == NotifyNormal &&
            event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer)
            keyboardFocus.lost();
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window)
            window = None; // the host destroyed its window, and ours with it
        break;
    default:
        break;
    }
}

void Frame::handleButtonPress(_XEvent& buttonEvent)
{
    const XButtonEvent& event = buttonEvent.xbutton;
    const CPoint where = frame.deviceToFrame(CPoint(event.x, event.y));
    const std::int32_t modifiers = modifiersFromState(event.state);
    // Buttons 4 to 7 are the wheel's notches, up, down, left and right.
    if (event.button >= 4 && event.button <= 7) {
        const bool vertical = event.button <= 5;
        const float distance = event.button == 4 || event.button == 7 ? 1.0f : -1.0f;
        frame.onWheel(where, vertical ? kMouseWheelAxisY : kMouseWheelAxisX, distance, modifiers);
        return;
    }
    std::int32_t buttons = buttonFlag(event.button);
    if (!buttons)
        return;
    if (event.button == lastClickButton && event.time - lastClickTime <= doubleClickTime &&
        std::abs(where.x - lastClickPoint.x) <= 4 && std::abs(where.y - lastClickPoint.y) <= 4)
        buttons |= kDoubleClick;
    lastClickButton = event.button;
    lastClickTime = event.time;
    lastClickPoint = where;
    CPoint point(where);
    frame.onMouseDown(point, buttons | modifiers);
    // The keyboard only for a click on something that takes keys.
    if (frame.isFocusViewAt(where))
        keyboardFocus.take(event.time);
    else
        keyboardFocus.giveBack(event.time);
}

void Frame::repaint()
{
    if (window == None)
        return;
    std::vector<CRect> areas = frame.renderInvalid();
    areas.insert(areas.end(), exposed.begin(), exposed.end());
    exposed.clear();
    const std::uint8_t* pixels = frame.getBackBufferPixels();
    if (!pixels || areas.empty())
        return;
    for (const CRect& area : areas)
        blitter->copy(pixels, frame.getBackBufferStride(), area);
    XFlush(display);
}

} // namespace X11
} // namespace VSTGUI
