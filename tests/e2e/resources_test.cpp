// The 32-bit release program cannot run here, so it is checked as a file:
// its PE header and imports, its version block and icon, and its five page
// templates, which are read as written and also built into real (hidden)
// dialogs and compared control by control with the 64-bit program's pages.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "boxwatch.h"
#include "gamefolder.h"
#include "pages.h"

namespace {

std::string Program32()
{
    return WinPath(WIN32_PROGRAM_PATH);
}

std::string Program64()
{
    return WinPath(WIN64_PROGRAM_PATH);
}

// ------------------------------------------------------------ the PE file

template <typename T>
T At(const std::string &bytes, size_t offset)
{
    T value = {};
    if (offset + sizeof(T) <= bytes.size())
        memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

struct PeFile {
    std::string bytes;
    IMAGE_FILE_HEADER file = {};
    IMAGE_OPTIONAL_HEADER32 optional = {};
    std::vector<IMAGE_SECTION_HEADER> sections;

    explicit PeFile(const std::string &path)
    {
        bytes = ReadBytes(path).value_or("");
        LONG pe = At<IMAGE_DOS_HEADER>(bytes, 0).e_lfanew;
        file = At<IMAGE_FILE_HEADER>(bytes, pe + 4);
        optional = At<IMAGE_OPTIONAL_HEADER32>(bytes, pe + 4 + sizeof(IMAGE_FILE_HEADER));
        size_t table = pe + 4 + sizeof(IMAGE_FILE_HEADER) + file.SizeOfOptionalHeader;
        for (int i = 0; i < file.NumberOfSections; i++)
            sections.push_back(At<IMAGE_SECTION_HEADER>(bytes, table + i * sizeof(IMAGE_SECTION_HEADER)));
    }
    size_t Offset(DWORD rva) const
    {
        for (const IMAGE_SECTION_HEADER &s : sections)
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        return bytes.size();
    }
    std::string Text(DWORD rva) const
    {
        size_t at = Offset(rva);
        size_t end = bytes.find('\0', at);
        return at < bytes.size() && end != std::string::npos ? bytes.substr(at, end - at) : "";
    }
    std::set<std::string> Imports() const
    {
        std::set<std::string> names;
        const IMAGE_DATA_DIRECTORY &dir = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (size_t at = Offset(dir.VirtualAddress);; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            IMAGE_IMPORT_DESCRIPTOR d = At<IMAGE_IMPORT_DESCRIPTOR>(bytes, at);
            if (!d.Name)
                break;
            std::string name = Text(d.Name);
            std::transform(name.begin(), name.end(), name.begin(), ::toupper);
            names.insert(name);
        }
        return names;
    }
};

TEST(E2EProgram32, IsAPe32GuiProgramForWindows4WithOnlySystemImports)
{
    PeFile pe(Program32());
    ASSERT_GT(pe.bytes.size(), 1024u) << Program32();
    ASSERT_EQ("MZ", pe.bytes.substr(0, 2));
    ASSERT_EQ(std::string("PE\0\0", 4),
              pe.bytes.substr(At<IMAGE_DOS_HEADER>(pe.bytes, 0).e_lfanew, 4));
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, pe.file.Machine);
    EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, pe.optional.Magic);
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, pe.optional.Subsystem);
    EXPECT_EQ(4, pe.optional.MajorSubsystemVersion);
    EXPECT_EQ(0, pe.optional.MinorSubsystemVersion);
    EXPECT_EQ((std::set<std::string>{"GDI32.DLL", "KERNEL32.DLL", "MSVCRT.DLL", "USER32.DLL"}),
              pe.Imports());
}

// ------------------------------------------------------------- resources

class DataModule {
public:
    explicit DataModule(const std::string &path)
        : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~DataModule()
    {
        if (module_)
            FreeLibrary(module_);
    }
    HMODULE get() const { return module_; }

    std::string Resource(const char *name, LPCSTR type, WORD language) const
    {
        HRSRC found = FindResourceExA(module_, type, name, language);
        if (!found)
            return std::string();
        HGLOBAL loaded = LoadResource(module_, found);
        return std::string((const char *)LockResource(loaded), SizeofResource(module_, found));
    }

private:
    HMODULE module_;
};

const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

TEST(E2EProgram32, VersionBlock)
{
    std::string path = Program32();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", (void **)&fixed, &length));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);
    EXPECT_EQ(0x3Fu, fixed->dwFileFlagsMask);
    EXPECT_EQ((DWORD)VS_FF_SPECIALBUILD, fixed->dwFileFlags);
    EXPECT_EQ((DWORD)VOS_NT_WINDOWS32, fixed->dwFileOS);
    EXPECT_EQ((DWORD)VFT_APP, fixed->dwFileType);
    EXPECT_EQ(0u, fixed->dwFileSubtype);
    EXPECT_EQ(0u, fixed->dwFileDateMS);
    EXPECT_EQ(0u, fixed->dwFileDateLS);

    WORD *translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void **)&translation,
                               &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(0x04B0, translation[1]);

    const std::pair<const char *, const char *> strings[] = {
        {"Comments", "Nothing here"},
        {"CompanyName", "Morvane"},
        {"FileDescription", "Custom briefing laucher"},
        {"FileVersion", "1.0"},
        {"InternalName", ""},
        {"LegalTrademarks", "Yeah right"},
        {"PrivateBuild", ""},
        {"ProductName", ""},
        {"ProductVersion", "1, 0, 0, 0"},
        {"SpecialBuild", "Final Version"},
        {"OriginalFilename", "TarnwickPatch.exe"},
    };
    for (const auto &s : strings) {
        SCOPED_TRACE(s.first);
        char *value = nullptr;
        std::string key = std::string("\\StringFileInfo\\040904B0\\") + s.first;
        ASSERT_TRUE(VerQueryValueA(block.data(), key.c_str(), (void **)&value, &length));
        EXPECT_EQ(s.second, std::string(value ? value : ""));
    }
    char *copyright = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\LegalCopyright",
                               (void **)&copyright, &length));
    EXPECT_STRNE("", copyright);
}

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconDir {
    WORD reserved, type, count;
    IconDirEntry entries[1];
};
#pragma pack(pop)

TEST(E2EProgram32, IconGroupHoldsOne32x32ImageOf24Bits)
{
    DataModule module(Program32());
    ASSERT_TRUE(module.get());
    std::string group = module.Resource("ICON", RT_GROUP_ICON, kUsEnglish);
    ASSERT_GE(group.size(), sizeof(IconDir));
    IconDir dir = At<IconDir>(group, 0);
    EXPECT_EQ(1, dir.type);
    ASSERT_EQ(1, dir.count);
    EXPECT_EQ(32, dir.entries[0].width);
    EXPECT_EQ(32, dir.entries[0].height);
    EXPECT_EQ(24, dir.entries[0].bitCount);
    EXPECT_EQ(3240u, dir.entries[0].bytes);
    EXPECT_EQ(1, dir.entries[0].id);

    std::string image = module.Resource(MAKEINTRESOURCEA(dir.entries[0].id), RT_ICON, kUsEnglish);
    ASSERT_EQ(3240u, image.size());
    BITMAPINFOHEADER header = At<BITMAPINFOHEADER>(image, 0);
    EXPECT_EQ(32, header.biWidth);
    EXPECT_EQ(64, header.biHeight) << "image and mask";
    EXPECT_EQ(24, header.biBitCount);
}

// ----------------------------------------------------- the page templates

// One control of a classic (DIALOG) template, as written in the file.
struct TemplateItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::string className, text;
};

struct Template {
    bool classic = false;
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, windowClass, caption, font;
    WORD pointSize = 0;
    std::vector<TemplateItem> items;
};

// A name or ordinal field of a template: 0, 0xFFFF + ordinal, or a string.
std::string ReadField(const WORD *&p)
{
    if (*p == 0) {
        p++;
        return "";
    }
    if (*p == 0xFFFF) {
        WORD ordinal = p[1];
        p += 2;
        switch (ordinal) {
        case 0x80: return "Button";
        case 0x81: return "Edit";
        case 0x82: return "Static";
        case 0x83: return "ListBox";
        case 0x84: return "ScrollBar";
        case 0x85: return "ComboBox";
        }
        return "#" + std::to_string(ordinal);
    }
    std::wstring text;
    while (*p)
        text.push_back(*p++);
    p++;
    return WideToAnsi(text);
}

const WORD *Align4(const WORD *p, const WORD *start)
{
    return ((const char *)p - (const char *)start) % 4 ? p + 1 : p;
}

Template ParseTemplate(const std::string &bytes)
{
    Template t;
    if (bytes.size() < sizeof(DLGTEMPLATE))
        return t;
    const WORD *start = (const WORD *)bytes.data();
    t.classic = !(start[0] == 1 && start[1] == 0xFFFF);
    if (!t.classic)
        return t;
    DLGTEMPLATE head = At<DLGTEMPLATE>(bytes, 0);
    t.style = head.style;
    t.exStyle = head.dwExtendedStyle;
    t.x = head.x;
    t.y = head.y;
    t.cx = head.cx;
    t.cy = head.cy;
    const WORD *p = start + 9;  // 18 bytes of DLGTEMPLATE
    t.menu = ReadField(p);
    t.windowClass = ReadField(p);
    t.caption = ReadField(p);
    if (t.style & DS_SETFONT) {
        t.pointSize = *p++;
        t.font = ReadField(p);
    }
    for (int i = 0; i < head.cdit; i++) {
        p = Align4(p, start);
        DLGITEMTEMPLATE item;
        memcpy(&item, p, sizeof(item));
        p += 9;  // 18 bytes of DLGITEMTEMPLATE
        TemplateItem c;
        c.style = item.style;
        c.exStyle = item.dwExtendedStyle;
        c.x = item.x;
        c.y = item.y;
        c.cx = item.cx;
        c.cy = item.cy;
        c.id = (short)item.id;
        c.className = ReadField(p);
        c.text = ReadField(p);
        WORD extra = *p++;
        p = (const WORD *)((const char *)p + extra);
        t.items.push_back(c);
    }
    return t;
}

class Templates32 : public ::testing::TestWithParam<ExpectedPage> {};

TEST_P(Templates32, TemplateHoldsThePageAsDescribed)
{
    const ExpectedPage &page = GetParam();
    DataModule module(Program32());
    ASSERT_TRUE(module.get());
    std::string bytes = module.Resource(page.templateName, RT_DIALOG, kUsEnglish);
    ASSERT_FALSE(bytes.empty()) << "no US English template " << page.templateName;
    Template t = ParseTemplate(bytes);
    ASSERT_TRUE(t.classic) << "an extended template";
    EXPECT_EQ(page.style, t.style);
    EXPECT_EQ(0u, t.exStyle);
    EXPECT_EQ(100, t.x);
    EXPECT_EQ(100, t.y);
    EXPECT_EQ(275, t.cx);
    EXPECT_EQ(200, t.cy);
    EXPECT_EQ("", t.menu);
    EXPECT_EQ("", t.windowClass);
    EXPECT_EQ(kCaption, t.caption);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Sans Serif", t.font);
    ASSERT_EQ(page.controls.size(), t.items.size());
    for (size_t i = 0; i < t.items.size(); i++) {
        const ExpectedControl &e = page.controls[i];
        const TemplateItem &a = t.items[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        EXPECT_STRCASEEQ(e.className, a.className.c_str());
        EXPECT_EQ(e.id, a.id);
        if (e.text)
            EXPECT_EQ(e.text, a.text);
        else
            EXPECT_NE(std::string::npos, a.text.find('@')) << a.text;
        EXPECT_EQ(e.style, a.style) << std::hex << "expected 0x" << e.style << ", is 0x" << a.style;
        EXPECT_EQ(0u, a.exStyle);
        EXPECT_EQ(e.x, a.x);
        EXPECT_EQ(e.y, a.y);
        EXPECT_EQ(e.cx, a.cx);
        EXPECT_EQ(e.cy, a.cy);
    }
}

INT_PTR CALLBACK Inert(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

struct BuiltControl {
    std::string className, text;
    int id;
    DWORD style, exStyle;
    RECT rect;
};

struct BuiltPage {
    DWORD style = 0;
    std::string caption;
    RECT client = {};
    std::vector<BuiltControl> controls;
};

BuiltPage Build(HMODULE module, const char *name)
{
    BuiltPage built;
    HWND page = CreateDialogParamA(module, name, nullptr, Inert, 0);
    if (!page)
        return built;
    built.style = (DWORD)GetWindowLongA(page, GWL_STYLE);
    built.caption = WindowText(page);
    GetClientRect(page, &built.client);
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        BuiltControl c;
        c.className = ClassName(child);
        c.text = WindowText(child);
        c.id = (short)GetDlgCtrlID(child);
        c.style = (DWORD)GetWindowLongA(child, GWL_STYLE);
        c.exStyle = (DWORD)GetWindowLongA(child, GWL_EXSTYLE);
        GetWindowRect(child, &c.rect);
        MapWindowPoints(HWND_DESKTOP, page, (POINT *)&c.rect, 2);
        built.controls.push_back(c);
    }
    DestroyWindow(page);
    return built;
}

class BuiltPages : public ::testing::TestWithParam<ExpectedPage> {};

TEST_P(BuiltPages, SameIn32And64BitPrograms)
{
    const ExpectedPage &page = GetParam();
    DataModule module32(Program32()), module64(Program64());
    ASSERT_TRUE(module32.get()) << Program32();
    ASSERT_TRUE(module64.get()) << Program64();
    BuiltPage a = Build(module32.get(), page.templateName);
    BuiltPage b = Build(module64.get(), page.templateName);
    ASSERT_FALSE(a.controls.empty()) << "the 32-bit program's page was not built";
    ASSERT_FALSE(b.controls.empty()) << "the 64-bit program's page was not built";
    EXPECT_EQ(b.style, a.style);
    EXPECT_EQ(b.caption, a.caption);
    EXPECT_TRUE(EqualRect(&b.client, &a.client));
    ASSERT_EQ(b.controls.size(), a.controls.size());
    ASSERT_EQ(page.controls.size(), a.controls.size());
    for (size_t i = 0; i < a.controls.size(); i++) {
        const BuiltControl &x = a.controls[i], &y = b.controls[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " \"" + y.text + "\"");
        EXPECT_EQ(y.className, x.className);
        EXPECT_EQ(y.id, x.id);
        EXPECT_EQ(y.text, x.text);
        EXPECT_EQ(y.style, x.style);
        EXPECT_EQ(y.exStyle, x.exStyle);
        EXPECT_TRUE(EqualRect(&y.rect, &x.rect))
            << "(" << x.rect.left << "," << x.rect.top << ")-(" << x.rect.right << ","
            << x.rect.bottom << ") against (" << y.rect.left << "," << y.rect.top << ")-("
            << y.rect.right << "," << y.rect.bottom << ")";
    }
}

std::string PageLabel(const ::testing::TestParamInfo<ExpectedPage> &info)
{
    return info.param.templateName;
}

INSTANTIATE_TEST_SUITE_P(E2E, Templates32, ::testing::ValuesIn(ExpectedPages()), PageLabel);
INSTANTIATE_TEST_SUITE_P(E2E, BuiltPages, ::testing::ValuesIn(ExpectedPages()), PageLabel);

}  // namespace
