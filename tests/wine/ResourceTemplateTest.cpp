// The DLL's German dialog templates, string and bitmaps as they are stored in its resources:
// ids, kinds, places and sizes in dialog units, styles and texts.
#include "resource.h"
#include "support/Library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace kivtest;

namespace {

const WORD kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

struct Item {
    DWORD style = 0;
    RECT place{};  // left, top, width, height in dialog units
    int id = 0;
    std::wstring kind;
    std::wstring text;
};

struct Template {
    bool parsed = false;
    DWORD style = 0;
    RECT place{};
    std::wstring title;
    int points = 0;
    std::wstring font;
    std::vector<Item> items;

    const Item* Find(int id) const {
        for (const Item& item : items)
            if (item.id == id) return &item;
        return nullptr;
    }
    const Item* FindText(const std::wstring& text) const {
        for (const Item& item : items)
            if (item.text == text) return &item;
        return nullptr;
    }
};

const void* German(HMODULE module, LPCWSTR type, int id, DWORD* size = nullptr) {
    HRSRC found = ::FindResourceExW(module, type, MAKEINTRESOURCEW(id), kGerman);
    if (found == nullptr) return nullptr;
    if (size != nullptr) *size = ::SizeofResource(module, found);
    return ::LockResource(::LoadResource(module, found));
}

// A name or an ordinal in a template; the predefined classes by their names.
std::wstring NameOrOrdinal(const WORD*& p) {
    if (*p == 0xFFFF) {
        WORD ordinal = p[1];
        p += 2;
        switch (ordinal) {
            case 0x80:
                return L"Button";
            case 0x81:
                return L"Edit";
            case 0x82:
                return L"Static";
            case 0x83:
                return L"ListBox";
            default:
                return L"#" + std::to_wstring(ordinal);
        }
    }
    std::wstring name(reinterpret_cast<const wchar_t*>(p));
    p += name.size() + 1;
    return name;
}

RECT Place(const short* xywh) { return RECT{xywh[0], xywh[1], xywh[2], xywh[3]}; }

// A classic (not extended) DLGTEMPLATE.
Template ReadTemplate(HMODULE module, int id) {
    Template t;
    const auto* p = static_cast<const WORD*>(German(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, id));
    if (p == nullptr || (p[0] == 1 && p[1] == 0xFFFF)) return t;
    const auto* head = reinterpret_cast<const DLGTEMPLATE*>(p);
    t.style = head->style;
    t.place = Place(&head->x);
    p = reinterpret_cast<const WORD*>(head + 1);
    if (!NameOrOrdinal(p).empty()) return t;  // no menu
    if (!NameOrOrdinal(p).empty()) return t;  // the standard dialog class
    t.title = NameOrOrdinal(p);
    if (t.style & DS_SETFONT) {
        t.points = *p++;
        t.font = NameOrOrdinal(p);
    }
    for (WORD i = 0; i < head->cdit; ++i) {
        p = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR(3));
        const auto* entry = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        Item item;
        item.style = entry->style;
        item.place = Place(&entry->x);
        item.id = static_cast<short>(entry->id);
        p = reinterpret_cast<const WORD*>(entry + 1);
        item.kind = NameOrOrdinal(p);
        item.text = NameOrOrdinal(p);
        p += 1 + *p / sizeof(WORD);  // creation data
        t.items.push_back(item);
    }
    t.parsed = true;
    return t;
}

bool SamePlace(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ") " + std::to_string(r.right) + " x " +
           std::to_string(r.bottom);
}

// One control: its kind, place, text, the style bits it must have, those it
// must lack, and its exact type field under typeMask.
void ExpectItem(const Item* item, const std::string& what, const wchar_t* kind, RECT place, const std::wstring& text,
                DWORD required, DWORD forbidden, DWORD typeMask = 0, DWORD type = 0) {
    ASSERT_NE(nullptr, item) << what << " missing";
    // Class names compare as the window manager compares them: without regard to case.
    EXPECT_EQ(0, ::lstrcmpiW(kind, item->kind.c_str()))
        << what << " is a " << std::string(item->kind.begin(), item->kind.end());
    EXPECT_TRUE(SamePlace(place, item->place)) << what << " at " << Describe(item->place);
    EXPECT_EQ(text, item->text) << what;
    EXPECT_EQ(required, item->style & required) << what << std::hex << " style " << item->style;
    EXPECT_EQ(0u, item->style & forbidden) << what << std::hex << " style " << item->style;
    EXPECT_EQ(type, item->style & typeMask) << what << std::hex << " style " << item->style;
}

// Page size and style, font, side picture, separator and buttons.
void ExpectPageFrame(const Template& t, const std::wstring& title, bool hasBack) {
    ASSERT_TRUE(t.parsed);
    EXPECT_EQ(title, t.title);
    EXPECT_TRUE(SamePlace(RECT{70, 76, 315, 204}, t.place)) << Describe(t.place);
    const DWORD pageStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(pageStyle, t.style & pageStyle);
    EXPECT_EQ(0u, t.style & WS_SYSMENU) << "a page has no close box";
    EXPECT_EQ(8, t.points);
    EXPECT_EQ(L"MS Sans Serif", t.font);

    ExpectItem(t.Find(IDC_SIDE_PICTURE), "placeholder", L"Static", {10, 10, 80, 160}, L"", WS_CHILD, WS_VISIBLE,
               SS_TYPEMASK, SS_WHITERECT);
    ExpectItem(t.Find(IDC_SEPARATOR), "separator", L"Static", {10, 178, 295, 1}, L"", WS_CHILD | WS_VISIBLE, 0,
               SS_TYPEMASK, SS_GRAYFRAME);
    const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    if (hasBack)
        ExpectItem(t.Find(IDC_BACK), "Back", L"Button", {146, 185, 51, 14}, L"< &Zurück", button, WS_DISABLED,
                   BS_TYPEMASK, BS_PUSHBUTTON);
    else
        EXPECT_EQ(nullptr, t.Find(IDC_BACK));
    ExpectItem(t.Find(IDOK), "Next", L"Button", {197, 185, 51, 14}, L"&Weiter >", button, WS_DISABLED, BS_TYPEMASK,
               BS_DEFPUSHBUTTON);
    ExpectItem(t.Find(IDCANCEL), "Cancel", L"Button", {256, 185, 49, 14}, L"Abbrechen", button, WS_DISABLED,
               BS_TYPEMASK, BS_PUSHBUTTON);
}

const wchar_t* const kUserNameText =
    L"Es wird ein AutoCAD Benutzerprofil erstellt entsprechend dem aktuell eingestellten Benutzer..\n"
    L"Bitte überprüfen Sie, ob der aktuelle Benutzer korrekt ist.\n"
    L"(Der Name dieses Profil ist \"TERVILO-Benutzername\")";

void ExpectUserNameTemplate(const Template& t, bool greyed) {
    ExpectPageFrame(t, L"User Information", true);
    const DWORD on = greyed ? WS_DISABLED : 0, off = greyed ? 0 : WS_DISABLED;
    ExpectItem(t.Find(IDC_PAGE_TEXT), "explanation", L"Static", {99, 9, 206, 36}, kUserNameText,
               WS_CHILD | WS_VISIBLE | on, off, SS_TYPEMASK, SS_LEFT);
    ExpectItem(t.FindText(L"Benutzername:"), "label", L"Static", {99, 56, 51, 13}, L"Benutzername:",
               WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE | on, off, SS_TYPEMASK, SS_LEFT);
    ExpectItem(t.Find(IDC_USER_NAME), "name box", L"Edit", {155, 56, 150, 13}, L"",
               WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | on, off | ES_MULTILINE);
    EXPECT_EQ(8u, t.items.size());
}

void ExpectProductTemplate(const Template& t, const std::wstring& addOn) {
    ExpectPageFrame(t, L"AutoCAD Produkt festlegen", false);
    ExpectItem(t.Find(IDC_PAGE_TEXT), "explanation", L"Static", {99, 9, 206, 36},
               L"Mehrere AutoCAD Produkte Version 2000 wurden gefunden.\nWählen Sie ein AutoCAD Produkt aus der unten "
               L"dargestellten Liste. " +
                   addOn + L" wird weiters mit diesem Produkt verbunden.",
               WS_CHILD | WS_VISIBLE, WS_DISABLED, SS_TYPEMASK, SS_LEFT);
    ExpectItem(
        t.Find(IDC_PRODUCT_LIST), "product list", L"ListBox", {99, 44, 206, 60}, L"",
        WS_CHILD | WS_VISIBLE | LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOINTEGRALHEIGHT,
        WS_DISABLED | LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
    EXPECT_EQ(6u, t.items.size());
}

}  // namespace

TEST(ResourceTemplates, UserNamePagesPlainAndGreyed) {
    Library lib;
    ExpectUserNameTemplate(ReadTemplate(lib.module(), IDD_USER_NAME), false);
    ExpectUserNameTemplate(ReadTemplate(lib.module(), IDD_USER_NAME_GREYED), true);
}

TEST(ResourceTemplates, ProductPagesWithoutBack) {
    Library lib;
    ExpectProductTemplate(ReadTemplate(lib.module(), IDD_PRODUCT_SELECTION), L"TERVILO");
    ExpectProductTemplate(ReadTemplate(lib.module(), IDD_PRODUCT_SELECTION_AT), L"Dorva AT");
}

TEST(ResourceTemplates, TargetFolderPage) {
    Library lib;
    Template t = ReadTemplate(lib.module(), IDD_TARGET_FOLDER);
    ExpectPageFrame(t, L"Zielpfad bestätigen", true);
    ExpectItem(t.Find(IDC_TARGET_MESSAGE), "message", L"Edit", {99, 10, 206, 114}, L"",
               WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP,
               WS_BORDER | WS_DISABLED | WS_HSCROLL | WS_VSCROLL);
    ExpectItem(t.FindText(L"Zielordner"), "group box", L"Button", {99, 144, 206, 26}, L"Zielordner",
               WS_CHILD | WS_VISIBLE, 0, BS_TYPEMASK, BS_GROUPBOX);
    ExpectItem(t.Find(IDC_TARGET_FOLDER), "folder", L"Edit", {103, 155, 197, 12}, L"",
               WS_CHILD | WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP,
               WS_BORDER | WS_DISABLED | ES_MULTILINE);
    EXPECT_EQ(8u, t.items.size());
}

TEST(ResourceTemplates, TabletMenuPage) {
    Library lib;
    Template t = ReadTemplate(lib.module(), IDD_TABLET_MENU);
    ExpectPageFrame(t, L"Tablettmenü einrichten", true);
    const Item* box = t.Find(IDC_TABLET_CHOICE);
    ExpectItem(box, "check box", L"Button", {99, 10, 206, 86},
               L"Falls Sie mit dem TERVILO-Tablett arbeiten wollen,\naktivieren Sie dieses Kontollkästchen.\n\n"
               L"Die AutoCAD Menüdateien werden in diesem Fall überschrieben.\n"
               L"Zuvor wird eine Sicherungskopie der Originaldateien in\neinem Unterordner angelegt.",
               WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_MULTILINE, WS_DISABLED, BS_TYPEMASK, BS_AUTOCHECKBOX);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(static_cast<DWORD>(BS_LEFT), box->style & BS_CENTER);
    EXPECT_EQ(static_cast<DWORD>(BS_TOP), box->style & BS_VCENTER);
    EXPECT_EQ(6u, t.items.size());
}

TEST(ResourceTemplates, ProgressWindow) {
    Library lib;
    Template t = ReadTemplate(lib.module(), IDD_PROGRESS);
    ASSERT_TRUE(t.parsed);
    EXPECT_TRUE(SamePlace(RECT{0, 0, 186, 70}, t.place)) << Describe(t.place);
    EXPECT_EQ(L"", t.title);
    const DWORD style = WS_POPUP | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK | DS_SETFOREGROUND;
    EXPECT_EQ(style, t.style & style);
    EXPECT_EQ(0u, t.style & (WS_VISIBLE | WS_CAPTION | WS_SYSMENU)) << std::hex << t.style;
    EXPECT_EQ(8, t.points);
    EXPECT_EQ(L"MS Sans Serif", t.font);

    ExpectItem(t.Find(IDC_PROGRESS_HEADER), "header", L"Edit", {5, 3, 175, 25}, L"",
               WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_CENTER | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP,
               WS_BORDER | WS_DISABLED);
    ExpectItem(t.Find(IDC_PROGRESS_ITEM), "item line", L"Static", {5, 38, 175, 10}, L"Static",
               WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE | WS_GROUP, WS_DISABLED, SS_TYPEMASK, SS_LEFT);
    ExpectItem(t.Find(IDC_PROGRESS_BAR), "bar", L"msctls_progress32", {5, 58, 175, 10}, L"",
               WS_CHILD | WS_VISIBLE | WS_BORDER, WS_DISABLED);
    EXPECT_EQ(3u, t.items.size());
}

TEST(ResourceTemplates, CancelConfirmation) {
    Library lib;
    Template t = ReadTemplate(lib.module(), IDD_CANCEL_CONFIRM);
    ASSERT_TRUE(t.parsed);
    EXPECT_EQ(L"Setup Abbrechen ", t.title);
    EXPECT_TRUE(SamePlace(RECT{27, 43, 230, 114}, t.place)) << Describe(t.place);
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(style, t.style & style);
    EXPECT_EQ(0u, t.style & (DS_CENTER | DS_CENTERMOUSE)) << "opens at its template position";
    EXPECT_EQ(8, t.points);
    EXPECT_EQ(L"Helv", t.font);

    const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    ExpectItem(t.Find(IDOK), "continue", L"Button", {116, 92, 50, 14}, L"&Fortsetzen", button | WS_GROUP, 0,
               BS_TYPEMASK, BS_DEFPUSHBUTTON);
    ExpectItem(t.Find(IDCANCEL), "abort", L"Button", {169, 92, 50, 14}, L"A&bbrechen", button, 0, BS_TYPEMASK,
               BS_PUSHBUTTON);
    const struct {
        RECT place;
        const wchar_t* text;
    } texts[] = {
        {{10, 10, 210, 18},
         L"Setup wurde nicht abgeschlossen. Wenn Sie Setup jetzt abbrechen, wird das Programm nicht installiert."},
        {{10, 35, 210, 25},
         L"Sie können das Setup später ausführen, um die Installation abzuschließen. Klicken Sie auf Fortsetzen, um "
         L"das Programm zu installieren."},
        {{10, 64, 210, 25}, L"Klicken Sie auf Abbrechen, um das Setup zu beenden."},
    };
    for (const auto& text : texts)
        ExpectItem(t.FindText(text.text), "text", L"Static", text.place, text.text,
                   WS_CHILD | WS_VISIBLE | SS_NOPREFIX | WS_GROUP, 0, SS_TYPEMASK, SS_LEFT);
    EXPECT_EQ(5u, t.items.size());
}

TEST(ResourceTemplates, GermanMessageStringAndEightBitPictures) {
    Library lib;
    // String 1009 sits in block 1009 / 16 + 1, after 1009 % 16 counted strings.
    DWORD size = 0;
    const auto* block = static_cast<const WORD*>(
        German(lib.module(), MAKEINTRESOURCEW(6) /* RT_STRING */, IDS_TARGET_FOLDER_MESSAGE / 16 + 1, &size));
    ASSERT_NE(nullptr, block);
    for (int i = 0; i < IDS_TARGET_FOLDER_MESSAGE % 16; ++i) block += 1 + *block;
    EXPECT_EQ(std::wstring(L"Setup wird %s in folgenden Ordner\r\r\ninstallieren.\r\r\n\r\r\n"
                           L"Klicken Sie auf Weter zur Installation in diesem Ordner.\r\r\n\r\r\n"
                           L"Wählen Sie Abbrechen, um Setup zu beenden, wenn\r\r\n%s nicht installiert werden soll."),
              std::wstring(reinterpret_cast<const wchar_t*>(block + 1), *block));

    const struct {
        int id;
        LONG width, height;
    } pictures[] = {{IDB_SIDE_NARROW, 120, 258}, {IDB_SIDE_WIDE, 218, 331}};
    for (const auto& picture : pictures) {
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(German(lib.module(), MAKEINTRESOURCEW(2) /* RT_BITMAP */, picture.id));
        ASSERT_NE(nullptr, header) << picture.id;
        EXPECT_EQ(picture.width, header->biWidth) << picture.id;
        EXPECT_EQ(picture.height, std::abs(header->biHeight)) << picture.id;
        EXPECT_EQ(8, header->biBitCount) << picture.id;
    }
}
