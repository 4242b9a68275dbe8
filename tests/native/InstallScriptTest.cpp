// The InstallScript header and sample script as InstallShield 5.5 compiles them: Windows-1252 text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The offset of the first UTF-8 multi-byte sequence, or npos: such a sequence shows as two or
// more Windows-1252 characters ("ausgewÃ¤hlt").
std::size_t Utf8Sequence(const std::string& bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
        if (length == 0 || i + length > bytes.size()) continue;
        bool continued = true;
        for (std::size_t k = 1; k < length; ++k)
            continued = continued && (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
        if (continued) return i;
    }
    return std::string::npos;
}

// The code lines (comments dropped) of a script.
std::vector<std::string> CodeLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        line = line.substr(0, line.find("//"));
        if (line.find_first_not_of(" \t\r") != std::string::npos) lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

const std::filesystem::path kFolder = std::filesystem::path(KIV_SOURCE_DIR) / "installscript";

}  // namespace

TEST(InstallScript, FilesAreWindows1252WithoutUtf8Sequences) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(kFolder))
        if (entry.path().extension() == ".rul" || entry.path().extension() == ".h") files.push_back(entry.path());
    ASSERT_GE(files.size(), 2u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        std::string bytes = Bytes(file);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(std::string::npos, Utf8Sequence(bytes)) << "at byte " << Utf8Sequence(bytes);
        // Five bytes have no character in Windows-1252.
        EXPECT_EQ(std::string::npos, bytes.find_first_of(std::string("\x81\x8D\x8F\x90\x9D", 5)));
        EXPECT_NE(0, bytes.compare(0, 3, "\xEF\xBB\xBF"));
    }
    // The umlauts of the sample's messages are single Windows-1252 bytes.
    std::string sample = Bytes(kFolder / "Upgrade.rul");
    for (const char* text : {"ausgew\xE4hlt", "F\xFCr "}) EXPECT_NE(std::string::npos, sample.find(text)) << text;
}

TEST(InstallScript, TheSampleUnloadsTheLibraryByItsBareNameOnEveryWayOut) {
    for (const char* file : {"Upgrade.rul", "KivForIS55.h"}) {
        SCOPED_TRACE(file);
        std::string text = Bytes(kFolder / file);
        EXPECT_NE(std::string::npos, text.find("UnUseDLL(KIV_DLL)"));
        EXPECT_EQ(std::string::npos, text.find("UnUseDLL(SUPPORTDIR"));
    }
    // After a successful UseDLL, an abort is always right after UnUseDLL; only a failed UseDLL
    // aborts without it, and every path that ends the program unloads first.
    std::vector<std::string> code = CodeLines(Bytes(kFolder / "Upgrade.rul"));
    int aborts = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (code[i].find("abort") == std::string::npos) continue;
        ++aborts;
        SCOPED_TRACE(code[i]);
        ASSERT_GT(i, 1u);
        bool unloaded = code[i - 1].find("UnUseDLL(KIV_DLL)") != std::string::npos;
        bool notLoaded = code[i - 2].find("UseDLL(SUPPORTDIR ^ KIV_DLL) < 0") != std::string::npos;
        EXPECT_TRUE(unloaded || notLoaded);
    }
    EXPECT_EQ(2, aborts);
    // A silent setup must show nothing: the one message box is Report's, which a silent run skips.
    int boxes = 0;
    for (const std::string& line : code) boxes += line.find("MessageBox(") != std::string::npos ? 1 : 0;
    EXPECT_EQ(1, boxes);
    for (std::size_t i = 0; i < code.size(); ++i)
        if (code[i].find("endprogram") != std::string::npos)
            EXPECT_NE(std::string::npos, code[i - 1].find("UnUseDLL(KIV_DLL)"));
}

TEST(InstallScript, TheSampleSavesAroundTheTransferOnlyOverAnOlderInstallation) {
    // The manager folder is looked for before the transfer, which makes it, and both save calls run only
    // when it was there: on a fresh install SaveBeforeFilesCopy answers 0, which would abort the setup.
    bool looked = false, transferred = false;
    std::vector<bool> blocks;  // per open if block: whether it asks for an older installation
    int saves = 0;
    for (const std::string& line : CodeLines(Bytes(kFolder / "Upgrade.rul"))) {
        const std::string statement = line.substr(line.find_first_not_of(" \t"));
        looked = looked || (!transferred && line.find("KivExistFile(szManagerDir)") != std::string::npos);
        transferred = transferred || line.find("ComponentMoveData(") != std::string::npos;
        if (statement.rfind("endif;", 0) == 0 && !blocks.empty()) blocks.pop_back();
        if (statement.rfind("if (", 0) == 0 && line.find(" then") != std::string::npos &&
            line.find("endif;") == std::string::npos)
            blocks.push_back(line.find("bUpgradeInPlace") != std::string::npos);
        if (line.find("FilesCopy(") == std::string::npos) continue;
        ++saves;
        EXPECT_NE(blocks.end(), std::find(blocks.begin(), blocks.end(), true)) << line;
    }
    EXPECT_TRUE(looked);
    EXPECT_EQ(2, saves);
}
