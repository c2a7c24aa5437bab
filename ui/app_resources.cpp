#include "ui/app_resources.h"

#include "platform/resources.h"
#include "res/embedded_images.h"
#include "res/resource.h"

namespace {

void addDialogs() {
    DialogTemplate about;
    DialogTemplate main;
    auto pick = [&](int id) { return id == IDD_ABOUTBOX ? &about : &main; };
#define DIALOG(id, caption, x, y, cx, cy, style, exStyle, font, pointSize)                         \
    *pick(id) = DialogTemplate{id, caption, x, y, cx, cy, style, exStyle, font, pointSize, {}};
#define CONTROL(dialogId, id, kind, text, x, y, cx, cy, style, imageId)                            \
    pick(dialogId)->controls.push_back(                                                            \
        ControlTemplate{id, ControlKind::kind, text, x, y, cx, cy, style, imageId});
#include "res/dialogs.inc"
#undef DIALOG
#undef CONTROL
    Resources::addDialog(std::move(about));
    Resources::addDialog(std::move(main));
}

} // namespace

void registerAppResources() {
    addDialogs();
    Resources::addString(IDS_ABOUTBOX, "&About md5...");

    const res::EmbeddedFile icon32 = res::appIcon32Bmp();
    const res::EmbeddedFile icon16 = res::appIcon16Bmp();
    Resources::addIcon(IDR_MAINFRAME, {{icon32.data, icon32.size}, {icon16.data, icon16.size}});

    const res::EmbeddedFile status = res::statusImagesBmp();
    Resources::addBitmap(IDB_STATUS_IMAGES, status.data, status.size);
    const res::EmbeddedFile logo = res::aboutLogoBmp();
    Resources::addBitmap(IDB_ABOUT_LOGO, logo.data, logo.size);
    const res::EmbeddedFile grip = res::sizeGripBmp();
    Resources::addBitmap(OBM_SIZE, grip.data, grip.size);
}
