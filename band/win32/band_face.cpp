#include "band/win32/band_face.h"

#include "band/win32/about_box.h"
#include "band/about_links.h"
#include "band/band_context_menu.h"
#include "band/minitab_commands.h"
#include "band/resources/face_ids.h"
#include "common/text.h"
#include "rules/rule.h"

namespace qm::band {
namespace {

constexpr std::uint16_t kWhiteListRule = White | On;
constexpr std::uint16_t kBlackListRule = On;

}  // namespace

BandFace::BandFace(FaceHost& host, HINSTANCE resources) : host_(host), resources_(resources) {}

BandFace::~BandFace() {
    // The pages are children of the minitab and go with it.
    if (HWND minitab = Minitab()) DestroyWindow(minitab);
}

bool BandFace::Build(HWND bandWindow) {
    if (HWND old = Minitab()) DestroyWindow(old);
    minitab_ = std::make_unique<MinitabWindow>(resources_);
    popupPage_ = std::make_unique<PopupListPage>(host_, resources_);
    preferences_ = std::make_unique<PreferencesPage>(host_, resources_,
                                                     [this] { minitab_->refreshOnButton(); });
    minitab_->attach(*this);
    if (!minitab_->create(bandWindow)) return false;
    HWND minitab = minitab_->window();
    popupPage_->create(minitab);
    HWND tools = host_.CreateToolsPage(minitab);
    preferences_->create(minitab);

    const Settings stored = host_.LiveSettings();
    preferences_->showSettings(stored);
    popupPage_->setViewMode(stored.PopupListView, false);
    for (const auto& record : host_.Records()) popupPage_->addRecord(*record);

    minitab_->addTab(popupPage_->window(), "Popup Windows", IDD_POPUP_WINDOWS,
                     IDC_TAB_POPUP_WINDOWS, IDB_TAB_POPUP_WINDOWS);
    minitab_->addTab(tools, "Tools", IDD_TOOLS, IDC_TAB_TOOLS, IDB_TAB_TOOLS);
    minitab_->addTab(preferences_->window(), "Preferences", IDD_PREFERENCES, IDC_TAB_PREFERENCES,
                     IDB_TAB_PREFERENCES);
    minitab_->selectPage(IDD_POPUP_WINDOWS);
    RECT client;
    GetClientRect(bandWindow, &client);
    minitab_->layout(client.right, client.bottom);
    return true;
}

void BandFace::Resize(int width, int height) {
    if (minitab_) minitab_->layout(width, height);
}

void BandFace::AddRecord(const PopupRecord& record) {
    if (popupPage_) popupPage_->addRecord(record);
}

void BandFace::RemoveRecord(const PopupRecord& record) {
    if (popupPage_) popupPage_->removeRecord(record);
}

void BandFace::ShowStatus(const std::string& text) {
    if (minitab_) minitab_->showStatus(text);
}

void BandFace::StartFlash() {
    if (minitab_) minitab_->startFlash();
}

void BandFace::PlaceBarButton(HWND barToolbar) {
    if (minitab_) minitab_->placeBarButton(barToolbar);
}

HWND BandFace::CaptureParent() const {
    return popupPage_ ? popupPage_->captureParent() : nullptr;
}

HRESULT BandFace::QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT flags) {
    if (!menu) return E_INVALIDARG;
    BandMenuSituation situation{};
    situation.defaultOnly = (flags & CMF_DEFAULTONLY) != 0;
    situation.popupPageSelected = minitab_ && minitab_->selectedPage() == IDD_POPUP_WINDOWS;
    situation.maximised = IsMaximised();
    POINT pointer = {};
    if (popupPage_ && GetCursorPos(&pointer)) {
        PopupListPage::PointerPlace place = popupPage_->placeOf(pointer);
        situation.pointerInList = place.inList;
        situation.pointerOnRow = place.onRow;
        situation.view = popupPage_->currentView();
    }
    situation.maxOffset = last >= first ? last - first : 0;
    BandMenuPlan plan = PlanBandMenu(situation);
    UINT position = index;
    for (const BandMenuItem& item : plan.items) {
        if (item.separator) {
            InsertMenuA(menu, position++, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            continue;
        }
        char text[128] = {};
        LoadStringA(resources_, item.stringId, text, sizeof text);
        InsertMenuA(menu, position++,
                    MF_BYPOSITION | MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED),
                    first + item.offset, text);
    }
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, plan.idsUsed);
}

HRESULT BandFace::InvokeCommand(const CMINVOKECOMMANDINFO* info) {
    if (!info || HIWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)) != 0) return E_INVALIDARG;
    std::optional<BandCommand> command =
        CommandAtOffset(LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)));
    if (!command) return E_INVALIDARG;
    switch (command->kind) {
        case BandCommandKind::SetView:
            if (popupPage_) popupPage_->setViewMode(static_cast<std::int32_t>(command->view), true);
            break;
        case BandCommandKind::ClearLog:
            if (popupPage_) popupPage_->clearRecords();
            break;
        case BandCommandKind::AddToWhiteList:
        case BandCommandKind::AddToBlackList: {
            // Without a selected row (the pointer was over one when the
            // menu opened, but the selection may be elsewhere) nothing happens.
            const PopupRecord* record = popupPage_ ? popupPage_->selectedRecord() : nullptr;
            if (!record) break;
            const bool white = command->kind == BandCommandKind::AddToWhiteList;
            host_.AddRule(white ? kWhiteListRule : kBlackListRule, ToAnsi(record->url),
                          ToAnsi(record->sourceUrl));
            break;
        }
        case BandCommandKind::About:
            ShowAbout();
            break;
        case BandCommandKind::Nothing:
            break;
    }
    return S_OK;
}

HRESULT BandFace::GetCommandString(UINT_PTR command, UINT type, LPSTR name, UINT size) {
    std::optional<unsigned> text = CommandTextId(command);
    if (!text) return E_INVALIDARG;
    switch (type) {
        case GCS_VALIDATEA:
        case GCS_VALIDATEW:
            return S_OK;
        case GCS_VERBA:
        case GCS_HELPTEXTA:
            if (!name || size == 0) return E_INVALIDARG;
            name[0] = '\0';
            LoadStringA(resources_, *text, name, static_cast<int>(size));
            return S_OK;
    }
    return E_INVALIDARG;
}

void BandFace::ShowAbout() {
    HWND owner = Minitab() ? GetParent(Minitab()) : nullptr;
    ShowAboutBox(host_, resources_, owner);
}

bool BandFace::IsMaximised() {
    return host_.LiveSettings().BandVisibility != 0;
}

std::int32_t BandFace::GuardLevel() {
    return host_.LiveSettings().GuardLevel;
}

std::string BandFace::StatusText() {
    return host_.StatusText();
}

void BandFace::OpenHomePage() {
    PopupRecord record;
    record.url = ToWide(HomePageAddress());
    host_.OpenInNewWindow(record);
}

void BandFace::OpenHelp() {
    host_.ShellOpen(HelpFilePath(host_.ModulePath()));
}

void BandFace::HideBar() {
    host_.HideBar();
}

void BandFace::ToggleBandVisibility() {
    host_.ToggleBandVisibility();
}

void BandFace::SetBandVisibility(bool maximised, bool save) {
    host_.SetBandVisibility(maximised, save);
}

void BandFace::SetGuardLevelQuickly(std::int32_t level) {
    if (preferences_) preferences_->setGuardLevel(level, true);
}

}  // namespace qm::band
