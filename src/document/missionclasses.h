// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The mission's endings (class CfgDebriefing), notifications (class CfgNotifications) and the
// two sections of class CfgRemoteExec (Functions and Commands), kept in the Other box's text.
// Reading finds the class among the text's top-level entries and each of its subclasses; applying
// changes only the lines of what changed (a value, a line added in the style of its neighbours, a
// subclass added at the end of the class or removed with its lines), so the rest of the text keeps
// its layout, comments and order. What the editor cannot show (inheritance, preprocessor lines,
// macros, keys it does not know) is kept as written.

#include <QList>
#include <QString>
#include <QStringList>

#include <span>

enum class ClassKind { Endings, Notifications, RemoteFunctions, RemoteCommands };
inline constexpr int ClassKindCount = 4;
// The first kinds are those of the Endings and notifications window; the rest are the sections
// of the Remote execution window.
inline constexpr int EndingKindCount = 2;

enum class AttributeType {
    Text,    // a string, or a string table reference ($STR_name) written without quotes
    Picture, // a string naming a picture: a file of the mission or of the game
    Number,  // a number
    Colour,  // {red, green, blue, alpha}, each from 0 to 1
    Names,   // {"name", ...}
    Plain,   // a string that is never a reference: a tag, a path, an extension
    Choice,  // a whole number that picks one of the attribute's choices, from 0
    Switch,  // 0 or 1
};

struct ClassAttribute
{
    const char *key;
    AttributeType type;
    // What a new entry starts with: the value, or nullptr for a key a new entry leaves out.
    const char *initial;
    const char *help;
    // Choice: what each number means, in order, separated by '|'.
    const char *choices = nullptr;
    // Choice and Switch: what the game takes when the key is not written, or nullptr when
    // that is another class's value (an entry's jip: its section's).
    const char *unset = nullptr;
};

struct ClassTable
{
    ClassKind kind;
    const char *className; // CfgDebriefing
    const char *title;     // Endings
    const char *entryName; // what a new entry is called, with a number after it: End
    std::span<const ClassAttribute> attributes;
    // A class that stands inside another (Functions inside CfgRemoteExec): the top-level class.
    const char *parent = nullptr;
    // The class's own keys, written before its subclasses (mode, jip).
    std::span<const ClassAttribute> ownAttributes = {};
    // Whether a subclass declared without a body (class name;) is an entry too.
    bool declarations = false;
};

const ClassTable &classTable(ClassKind kind);

struct AttributeValue
{
    bool set = false;
    // Written in a way the editor cannot show (a macro, another type, twice): kept as written.
    bool readOnly = false;
    // Text and Picture: the unquoted text (a reference as written); Number: the number as
    // written.
    QString value;
    // Colour: the numbers as written; Names: the names.
    QStringList elements;
    // ReadOnly: the value as written, to show.
    QString written;

    friend bool operator==(const AttributeValue &, const AttributeValue &) = default;
};

struct ClassEntry
{
    QString name;
    // Its place among the entries read from the text; -1 for an entry the user added.
    int origin = -1;
    // Inheritance, preprocessor lines, a nested class or a macro in place of the class: the
    // editor shows it as written and can only remove it.
    bool readOnly = false;
    QString written;
    // One per attribute of the table, in its order.
    QList<AttributeValue> values;

    friend bool operator==(const ClassEntry &, const ClassEntry &) = default;
};

struct MissionClass
{
    ClassKind kind = ClassKind::Endings;
    // The text has the class.
    bool present = false;
    // The class is written in a way the editor cannot change in place (twice, inside #if,
    // with inheritance, from a macro): `why` says how, and nothing in it is changed.
    bool readOnly = false;
    QString why;
    // One per own attribute of the table, in its order.
    QList<AttributeValue> values;
    QList<ClassEntry> entries;

    friend bool operator==(const MissionClass &, const MissionClass &) = default;
};

MissionClass readMissionClass(const QString &otherText, ClassKind kind);

// The table's own attributes unset, as a class the text lacks starts.
QList<AttributeValue> unsetValues(ClassKind kind);

// An entry named `name` with the table's initial values.
ClassEntry newClassEntry(ClassKind kind, const QString &name);

// What a value writes after "key = " (or "key[] = ") without the ';'.
QString attributeValueText(AttributeType type, const AttributeValue &value);

// `otherText` with the class's entries made those of `wanted`: entries of the text that
// `wanted` lacks (by origin) lose their lines, changed values are rewritten in place, a
// value switched off loses its line, a new value gets a line after the entry's last one, and
// a new entry is added at the end of the class body (the class, at the end of the text, when
// the text lacks it). The class's own values change as an entry's do; a class inside another
// that the text lacks is added at the end of that one's body (both, at the end of the text),
// once it has a value or an entry. A read-only class or entry is left as it is.
QString applyMissionClass(const QString &otherText, const MissionClass &wanted);

// The mission's functions (class CfgFunctions): tags hold categories, categories hold
// functions, each a class with keys of its own. Read and written in place as the classes
// above are; a tag or category also keeps its #include and #define lines where they stand.
enum class FunctionLevel { Tag, Category, Function };
inline constexpr int FunctionLevelCount = 3;

struct FunctionLevelTable
{
    FunctionLevel level;
    const char *title;     // Tag
    const char *entryName; // what a new one is called, with a number after it
    std::span<const ClassAttribute> attributes;
};

const FunctionLevelTable &functionLevelTable(FunctionLevel level);

// The index of each function key in functionLevelTable(Function).attributes.
enum class FunctionKey { File, PreInit, PostInit, PreStart, Recompile, Ext, HeaderType };

struct FunctionNode
{
    ClassEntry entry;
    // A tag's categories, a category's functions, in the text's order.
    QList<FunctionNode> children;

    // Written out: a defaulted one would compare QList<FunctionNode> while the type is still
    // incomplete, which QList's comparison does not allow.
    friend bool operator==(const FunctionNode &a, const FunctionNode &b);
};

struct MissionFunctions
{
    bool present = false;
    // As MissionClass::readOnly: nothing in it can be changed, and `why` says why.
    bool readOnly = false;
    QString why;
    QList<FunctionNode> tags;

    friend bool operator==(const MissionFunctions &, const MissionFunctions &) = default;
};

MissionFunctions readMissionFunctions(const QString &otherText);

// A tag, category or function named `name`, with no keys set.
FunctionNode newFunctionNode(FunctionLevel level, const QString &name);

// The function's file relative to the mission folder, with backslashes: its own `file`, or
// fn_<function><ext> in the category's `file` folder, or in functions\<category>. Empty when a
// value it depends on is written in a way the editor cannot read.
QString functionFilePath(const FunctionNode &category, const FunctionNode &function);

// `otherText` with the tags, categories and functions made those of `wanted`, level by
// level as applyMissionClass() does for one: a node the text has keeps its lines but for
// what changed in it, a node `wanted` lacks loses its lines, a new node is added at the end
// of its parent's body (class CfgFunctions at the end of the text when it lacks it).
QString applyMissionFunctions(const QString &otherText, const MissionFunctions &wanted);
