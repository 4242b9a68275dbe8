// Cases of the byte-file seam that its native and its Win32 side must answer alike.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kivnative {

// EditInPlace with an edit that upper-cases the pieces it is handed and keeps the first `keep` of each;
// with `head`, the bytes before the offset are upper-cased too.
struct EditCase {
    const char* what;
    std::string file;
    std::size_t offset;
    std::size_t pieceSize;
    std::size_t keep;
    std::string handed;  // the last piece the edit sees
    std::string after;   // the file afterwards
    bool head = false;
    bool done = true;  // EditInPlace's answer
};

inline const std::vector<EditCase> kEditCases = {
    {"a prefix goes back", "headerabcdef", 6, 64, 3, "abcdef", "headerABCdef"},
    {"more than it got is all of it", "headerabcdef", 6, 64, 100, "abcdef", "headerABCDEF"},
    {"nothing kept, nothing written", "headerabcdef", 6, 64, 0, "abcdef", "headerabcdef"},
    {"an offset at the end hands nothing", "header", 6, 64, 5, "", "header"},
    {"an offset past the end hands nothing", "head", 6, 64, 5, "", "head"},
    {"byte 26 and zero bytes are bytes", std::string("hd\x1a\0xy", 6), 2, 64, 4, std::string("\x1a\0xy", 4),
     std::string("hd\x1a\0XY", 6)},
    {"whole pieces go on to the shorter last", "headerabcdefg", 6, 3, 3, "g", "headerABCDEFG"},
    {"a piece kept in part ends the edit", "headerabcdefg", 6, 3, 2, "abc", "headerABcdefg"},
    {"the head goes back with the pieces", "headerabcdef", 6, 64, 3, "abcdef", "HEADERABCdef", true},
    {"a head alone", "header", 6, 64, 0, "", "HEADER", true},
    {"a file shorter than the head fails untouched", "head", 6, 64, 5, "not called", "head", true, false},
};

inline std::size_t UpperCaseAndKeep(std::string& bytes, std::size_t keep) {
    for (char& c : bytes)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return keep;
}

// Piece sizes around the 64 KB in which a writer may gather small pieces.
inline const std::vector<std::vector<std::size_t>> kPieceSizes = {
    {},      {0, 0},         {1}, std::vector<std::size_t>(20000, 7), {10, 70000, 3, 5}, {10, 65536, 65535, 1},
    {65536}, {200000, 0, 2},
};

// Each piece a run of its own letter, so that a piece out of order or twice shows.
inline std::vector<std::string> MakePieces(const std::vector<std::size_t>& sizes) {
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < sizes.size(); ++i) pieces.emplace_back(sizes[i], static_cast<char>('a' + i % 26));
    return pieces;
}

inline std::vector<std::string_view> Views(const std::vector<std::string>& pieces) {
    return std::vector<std::string_view>(pieces.begin(), pieces.end());
}

inline std::string Joined(const std::vector<std::string>& pieces) {
    std::string all;
    for (const std::string& piece : pieces) all += piece;
    return all;
}

}  // namespace kivnative
