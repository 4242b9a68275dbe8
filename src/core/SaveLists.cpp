// The constant file lists of the saving around the copy.
#include "core/SaveLists.h"

#include <algorithm>
#include <cctype>

namespace kiv::core {

const std::array<const char*, 4> ReplaceableKinds = {".bmp", ".mn", ".lsp", ".rx"};

const std::array<const char*, 15> AfterCopySaveList = {
    "TvKonfig.exe", "TvUpdate.exe", "Tervilo.lsp", "TvStart.lsp", "TvBefehle.lsp",
    "TvHoehen.lsp", "TvPunkte.lsp", "Tervilo.dwt", "Acad.rx",     "Tervilo.mnl",
    "Tervilo.mnc",  "Tervilo.mnr",  "Tervilo.mns", "Tervilo.mnu", "Tervilo.scr",
};

const std::array<const char*, 23> SupportDrawingList = {
    "Nordpfeil.dwg",   "Hoehenpunkt.dwg", "Grenzstein.dwg",     "Festpunkt.dwg",    "Polygonpunkt.dwg", "Messpunkt.dwg",
    "Laubbaum.dwg",    "Nadelbaum.dwg",   "Strauch.dwg",        "Hecke.dwg",        "Hydrant.dwg",      "Schieber.dwg",
    "Kanaldeckel.dwg", "Schacht.dwg",     "Strassenablauf.dwg", "Lampe.dwg",        "Mast.dwg",         "Zaun.dwg",
    "Mauer.dwg",       "Treppe.dwg",      "Boeschung.dwg",      "Gebaeudeecke.dwg", "Schriftfeld.dwg",
};

const std::array<const char*, 39> ObsoleteFileList = {
    "TvBasis.arx",
    "TvGelaende.arx",
    "TvKoord.arx",
    "TvLogo.bmp",
    "TvPunkt.bmp",
    "TvLinie.bmp",
    "TvHoehe.bmp",
    "TvText.bmp",
    "TvSymbol.shx",
    "TvNorm.shx",
    "TvIso.shx",
    "TvKarto.shx",
    "TvGrenze.shx",
    "TvBaum.shx",
    "TvLinien.shx",
    "TvLiesMich.txt",
    "TvPunkte.txt",
    "TvCodes.txt",
    "TvLayer.txt",
    "TvSchrift.txt",
    "TvHilfe.txt",
    "TvVorlage.txt",
    "Projektverwaltung\\TvSymbol.shx",
    "Projektverwaltung\\TvNorm.shx",
    "Projektverwaltung\\TvIso.shx",
    "Projektverwaltung\\TvKarto.shx",
    "Projektverwaltung\\TvGrenze.shx",
    "Projektverwaltung\\TvBaum.shx",
    "Projektverwaltung\\TvLinien.shx",
    "Projektverwaltung\\TvLogo.bmp",
    "Projektverwaltung\\TvPunkt.bmp",
    "Projektverwaltung\\TvLinie.bmp",
    "Projektverwaltung\\TvHoehe.bmp",
    "Projektverwaltung\\TvText.bmp",
    "Projektverwaltung\\Projekt.dwt",
    "Projektverwaltung\\Lageplan.dwt",
    "Projektverwaltung\\Bestand.dwt",
    "Projektverwaltung\\Projekt.ini",
    "Projektverwaltung\\Verwaltung.ini",
};

const std::array<const char*, 3> OpeningDefinitionFiles = {"\\FENSTER.INI", "\\TUER.INI", "\\DURCHG.INI"};

const char* const kSupportSubFolder = "\\Support";

bool IsReplaceableKind(const std::string& path) {
    std::string lower = path;
    // ASCII lowering is enough: no ANSI letter outside ASCII lowers into the fragments.
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(c < 0x80 ? std::tolower(c) : c); });
    return std::any_of(ReplaceableKinds.begin(), ReplaceableKinds.end(),
                       [&](const char* kind) { return lower.find(kind, 1) != std::string::npos; });
}

}  // namespace kiv::core
