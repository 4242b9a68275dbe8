// The fixed file lists and the replaceable-kind test of the saving around the copy.
#include "core/SaveLists.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace kiv::core;

namespace {

bool EndsWith(const std::string& name, const std::string& tail) {
    return name.size() > tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
}

template <typename List>
void ExpectKinds(const List& list, std::size_t from, std::size_t count, const std::string& kind) {
    for (std::size_t i = from; i < from + count; ++i) {
        ASSERT_NE(nullptr, list[i]) << i;
        EXPECT_TRUE(EndsWith(list[i], kind)) << list[i];
    }
}

template <typename List>
void ExpectBareAndDistinct(const List& list, std::size_t count) {
    std::set<std::string> seen;
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_NE(nullptr, list[i]) << i;
        EXPECT_EQ(std::string::npos, std::string(list[i]).find('\\')) << list[i];
        EXPECT_TRUE(seen.insert(list[i]).second) << "twice: " << list[i];
    }
}

}  // namespace

// The names as the earlier releases installed them, typed out: every other test takes its names
// from the library's lists, so a misspelt name there would pass them all.
TEST(SaveLists, NameTheFilesOfTheEarlierReleasesExactly) {
    using Names = std::vector<std::string>;
    const Names afterCopy = {"TvKonfig.exe", "TvUpdate.exe", "Tervilo.lsp", "TvStart.lsp", "TvBefehle.lsp",
                             "TvHoehen.lsp", "TvPunkte.lsp", "Tervilo.dwt", "Acad.rx",     "Tervilo.mnl",
                             "Tervilo.mnc",  "Tervilo.mnr",  "Tervilo.mns", "Tervilo.mnu", "Tervilo.scr"};
    const Names drawings = {"Nordpfeil.dwg",    "Hoehenpunkt.dwg",  "Grenzstein.dwg",     "Festpunkt.dwg",
                            "Polygonpunkt.dwg", "Messpunkt.dwg",    "Laubbaum.dwg",       "Nadelbaum.dwg",
                            "Strauch.dwg",      "Hecke.dwg",        "Hydrant.dwg",        "Schieber.dwg",
                            "Kanaldeckel.dwg",  "Schacht.dwg",      "Strassenablauf.dwg", "Lampe.dwg",
                            "Mast.dwg",         "Zaun.dwg",         "Mauer.dwg",          "Treppe.dwg",
                            "Boeschung.dwg",    "Gebaeudeecke.dwg", "Schriftfeld.dwg"};
    Names obsolete = {"TvBasis.arx",  "TvGelaende.arx", "TvKoord.arx",  "TvLogo.bmp",     "TvPunkt.bmp",  "TvLinie.bmp",
                      "TvHoehe.bmp",  "TvText.bmp",     "TvSymbol.shx", "TvNorm.shx",     "TvIso.shx",    "TvKarto.shx",
                      "TvGrenze.shx", "TvBaum.shx",     "TvLinien.shx", "TvLiesMich.txt", "TvPunkte.txt", "TvCodes.txt",
                      "TvLayer.txt",  "TvSchrift.txt",  "TvHilfe.txt",  "TvVorlage.txt"};
    for (const char* name : {"TvSymbol.shx", "TvNorm.shx", "TvIso.shx", "TvKarto.shx", "TvGrenze.shx", "TvBaum.shx",
                             "TvLinien.shx", "TvLogo.bmp", "TvPunkt.bmp", "TvLinie.bmp", "TvHoehe.bmp", "TvText.bmp",
                             "Projekt.dwt", "Lageplan.dwt", "Bestand.dwt", "Projekt.ini", "Verwaltung.ini"})
        obsolete.push_back(std::string("Projektverwaltung\\") + name);
    EXPECT_EQ(afterCopy, Names(AfterCopySaveList.begin(), AfterCopySaveList.end()));
    EXPECT_EQ(drawings, Names(SupportDrawingList.begin(), SupportDrawingList.end()));
    EXPECT_EQ(obsolete, Names(ObsoleteFileList.begin(), ObsoleteFileList.end()));
    EXPECT_EQ((Names{"\\FENSTER.INI", "\\TUER.INI", "\\DURCHG.INI"}),
              Names(OpeningDefinitionFiles.begin(), OpeningDefinitionFiles.end()));
}

TEST(SaveLists, AfterCopySaveListHoldsProgramsLispTemplateLoadListMenusAndScriptInOrder) {
    ExpectBareAndDistinct(AfterCopySaveList, AfterCopySaveList.size());
    ExpectKinds(AfterCopySaveList, 0, 2, ".exe");
    ExpectKinds(AfterCopySaveList, 2, 5, ".lsp");
    ExpectKinds(AfterCopySaveList, 7, 1, ".dwt");
    EXPECT_STREQ("Acad.rx", AfterCopySaveList[8]);
    const char* menus[] = {"Tervilo.mnl", "Tervilo.mnc", "Tervilo.mnr", "Tervilo.mns", "Tervilo.mnu"};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_STREQ(menus[i], AfterCopySaveList[9 + i]);
    ExpectKinds(AfterCopySaveList, 14, 1, ".scr");
}

TEST(SaveLists, SupportDrawingsAreBareDrawings) {
    ExpectBareAndDistinct(SupportDrawingList, SupportDrawingList.size());
    ExpectKinds(SupportDrawingList, 0, SupportDrawingList.size(), ".dwg");
}

TEST(SaveLists, ObsoleteFilesRepeatFontsAndBitmapsInProjektverwaltung) {
    ExpectBareAndDistinct(ObsoleteFileList, 22);
    ExpectKinds(ObsoleteFileList, 0, 3, ".arx");
    ExpectKinds(ObsoleteFileList, 3, 5, ".bmp");
    ExpectKinds(ObsoleteFileList, 8, 7, ".shx");
    ExpectKinds(ObsoleteFileList, 15, 7, ".txt");
    const std::string sub = "Projektverwaltung\\";
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(sub + ObsoleteFileList[8 + i], ObsoleteFileList[22 + i]);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(sub + ObsoleteFileList[3 + i], ObsoleteFileList[29 + i]);
    ExpectKinds(ObsoleteFileList, 34, 3, ".dwt");
    ExpectKinds(ObsoleteFileList, 37, 2, ".ini");
    for (std::size_t i = 34; i < 39; ++i) EXPECT_EQ(0u, std::string(ObsoleteFileList[i]).find(sub));
}

TEST(SaveLists, ReplaceableKindIsASubstringOfTheLoweredPath) {
    EXPECT_TRUE(IsReplaceableKind("C:\\Tervilo\\TERVILO.MNU"));
    EXPECT_TRUE(IsReplaceableKind("C:\\Tervilo\\Tervilo.mnl"));
    EXPECT_TRUE(IsReplaceableKind("C:\\Tervilo\\Logo.Bmp"));
    EXPECT_TRUE(IsReplaceableKind("C:\\Tervilo\\Start.LSP"));
    EXPECT_TRUE(IsReplaceableKind("C:\\Tervilo\\Acad.rx"));
    EXPECT_TRUE(IsReplaceableKind("C:\\Tervilo\\Acad.rxx"));
    EXPECT_TRUE(IsReplaceableKind("C:\\Menu.mnx\\Liesmich.txt"));  // a folder name counts too
    EXPECT_FALSE(IsReplaceableKind("C:\\Tervilo\\Liesmich.txt"));
    EXPECT_FALSE(IsReplaceableKind("C:\\Tervilo\\Tervilo.arx"));
    EXPECT_FALSE(IsReplaceableKind("C:\\Tervilo\\Fenster.ini"));
    EXPECT_FALSE(IsReplaceableKind(".bmp"));        // not at the first character
    EXPECT_TRUE(IsReplaceableKind(".bmp\\x.bmp"));  // but at a later one
    EXPECT_FALSE(IsReplaceableKind(""));
    EXPECT_FALSE(IsReplaceableKind("C:\\\xC4rger\\\xD6l.txt"));  // ANSI umlauts stay as they are
}
