#include "sdk/clap/clap_editor.h"

#include <cstring>

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace Steinberg::Vst {

using namespace clap;

// The host's side of the view: a resize request goes to the host's gui
// extension; the platform's services (a run loop) are offered.
class ClapPlugFrame final : public FObject, public IPlugFrame {
public:
    ClapPlugFrame(const clap_host_t* clapHost, FUnknown* services) : host(clapHost), offered(services)
    {
        if (host && host->get_extension)
            hostGui = static_cast<const clap_host_gui_t*>(host->get_extension(host, CLAP_EXT_GUI));
    }

    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override
    {
        if (!view || !newSize)
            return kInvalidArgument;
        if (hostGui && hostGui->request_resize &&
            !hostGui->request_resize(host, static_cast<std::uint32_t>(newSize->getWidth()),
                                     static_cast<std::uint32_t>(newSize->getHeight())))
            return kResultFalse;
        return view->onSize(newSize);
    }

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
    {
        QUERY_INTERFACE(iid, obj, IPlugFrame::iid, IPlugFrame)
        if (offered && offered->queryInterface(iid, obj) == kResultOk)
            return kResultOk;
        return FObject::queryInterface(iid, obj);
    }
    REFCOUNT_METHODS(FObject)

private:
    const clap_host_t* host;
    const clap_host_gui_t* hostGui = nullptr;
    FUnknown* offered;
};

std::unique_ptr<ClapEditor> ClapEditor::create(IEditController& controller, const clap_host_t* host)
{
    std::unique_ptr<ClapEditorPlatform> platform = makeClapEditorPlatform(host);
    if (!platform)
        return nullptr;
    return std::make_unique<ClapEditor>(controller, host, std::move(platform));
}

ClapEditor::ClapEditor(IEditController& owner, const clap_host_t* host,
                       std::unique_ptr<ClapEditorPlatform> editorPlatform)
    : controller(owner), platform(std::move(editorPlatform)),
      frame(owned(new ClapPlugFrame(host, platform->frameServices())))
{
}

ClapEditor::~ClapEditor() { destroyView(); }

bool ClapEditor::isApiSupported(const char* api, bool floating) const
{
    return !floating && api && std::strcmp(api, platform->windowApi()) == 0;
}

bool ClapEditor::createView(const char* api, bool floating)
{
    if (view || !isApiSupported(api, floating))
        return false;
    view = owned(controller.createView(ViewType::kEditor));
    if (!view)
        return false;
    if (view->isPlatformTypeSupported(platform->windowType()) != kResultTrue) {
        view = nullptr;
        return false;
    }
    view->setFrame(frame);
    return true;
}

void ClapEditor::destroyView()
{
    if (!view)
        return;
    if (attached)
        view->removed();
    view->setFrame(nullptr);
    view = nullptr;
    attached = false;
}

bool ClapEditor::setScale(double scale)
{
    if (!view || !(scale > 0.0))
        return false;
    FUnknownPtr<IPlugViewContentScaleSupport> scaling(view);
    return scaling && scaling->setContentScaleFactor(static_cast<float>(scale)) == kResultTrue;
}

bool ClapEditor::size(std::uint32_t& width, std::uint32_t& height) const
{
    ViewRect rect;
    if (!view || view->getSize(&rect) != kResultTrue || rect.getWidth() <= 0 || rect.getHeight() <= 0)
        return false;
    width = static_cast<std::uint32_t>(rect.getWidth());
    height = static_cast<std::uint32_t>(rect.getHeight());
    return true;
}

bool ClapEditor::adjustSize(std::uint32_t& width, std::uint32_t& height) const { return size(width, height); }

bool ClapEditor::setSize(std::uint32_t width, std::uint32_t height) const
{
    std::uint32_t ownWidth = 0, ownHeight = 0;
    return size(ownWidth, ownHeight) && width == ownWidth && height == ownHeight;
}

bool ClapEditor::setParent(const clap_window_t& window)
{
    if (!view || attached || !window.api || std::strcmp(window.api, platform->windowApi()) != 0)
        return false;
    void* parent = platform->parentHandle(window);
    if (!parent)
        return false;
    attached = view->attached(parent, platform->windowType()) == kResultTrue;
    return attached;
}

} // namespace Steinberg::Vst
