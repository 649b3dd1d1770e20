#pragma once

#include "editordocument.h"

#include <QString>

#include <array>

// Turns a document into the text of description.ext. Pure: reads the document, changes
// nothing, never fails.
struct GeneratedFile
{
    std::array<QString, FragmentCount> fragments;
    QString text;
};

GeneratedFile generate(const EditorDocument &document);
// The same into `file`, whose strings are overwritten. Strings nobody else shares keep their
// room, so generating a large document again needs no fresh memory.
void generateInto(const EditorDocument &document, GeneratedFile &file);
// One fragment of generate()'s result, computed alone.
QString generateFragment(const EditorDocument &document, Fragment fragment);

// The line (with its CR LF) that an accessory switch writes for a value, e.g.
// "ShowGPS=0;\r\n". `accessory` must be one of the eight accessory switches.
QString accessoryLine(Switch accessory, int value);
// Whether a switch is one of the eight accessory switches, and the slot it keeps its line in.
bool isAccessory(Switch s);
Fragment accessoryFragment(Switch accessory);

// The header comment that opens every generated file, without its line breaks.
inline constexpr char16_t HeaderComment[] =
    u"// description.ext file created in Merrow Editor by Tandry";
// How many lone CR LF group separators the layout holds.
inline constexpr int GroupSeparatorCount = 12;
