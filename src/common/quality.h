#pragma once

#include <QString>
#include <array>

// The four PDF quality presets of the quality list. The entry texts are never
// translated, so their first letters identify them in the settings file.
struct QualityEntry {
    const char* text;
    char letter;
    const char* preset;  // the Ghostscript switch, with one trailing blank
};

inline constexpr std::array<QualityEntry, 4> kQualityEntries{{
    {"Default (all)", 'D', ""},
    {"Screen  (GS7+)", 'S', "-dPDFSETTINGS=/screen "},
    {"Printer (GS7+)", 'P', "-dPDFSETTINGS=/printer "},
    {"E-book  (GS8+)", 'E', "-dPDFSETTINGS=/ebook "},
}};

// The entry of a list position; the first for a position outside the list.
inline const QualityEntry& qualityEntry(int index) {
    const bool known = index >= 0 && index < static_cast<int>(kQualityEntries.size());
    return kQualityEntries[known ? static_cast<std::size_t>(index) : 0];
}
