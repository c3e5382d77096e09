#include "StringTable.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry {
    unsigned id;
    const char* text;
};

// Sorted by id.
constexpr Entry kStrings[] = {
    {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
    {104, "Windows sockets initialization failed."},
    {128, "Brindle's Quillet"},
    {129, "\nSphere\nSphere\nSphere Scripts (*.scp)\n.scp\nQuillet.Document\nSphere Document"},
    {8606, "Cannot find string\"%s\""},
    {8619, "Unknown"},
    {8620, "Paste"},
    {8621, "Delete Selection"},
    {8622, "Cut"},
    {8623, "Delete"},
    {8624, "Typing"},
    {8625, "Backspace"},
    {8626, "Indent"},
    {8627, "Drag And Drop"},
    {8628, "Replace"},
    {8629, "Auto Indent"},
    {32775, "Shows the Preferences Dialag\nPreferences"},
    {32776, "Access the console of your server over the telnet protocol"},
    {32777, "Starts Axis"},
    {32779, "Start the UO Client\nUltima Online"},
    {32800, "Show or hide the tools toolbar\nToggle Tools ToolBar"},
    {32801, "Show or hide the workspace toolbar\nToggle Workspace ToolBar"},
    {32807, "Save the active document as a PDF file\nExport as PDF"},
    {32810, "Search the files of a folder for a text\nFind in Files"},
    {32811, "Go to the next match of Find in Files\nNext Result"},
    {32812, "Go to the previous match of Find in Files\nPrevious Result"},
    {32813, "Go to where the name at the caret is defined\nGo to Definition"},
    {32814, "Find every use of the name at the caret in the server's scripts\nFind All References"},
    {32815, "Show or hide the results of Find in Files\nFind Results"},
    {57344, "Brindle's Quillet"},
    {57345, "Ready"},
    {57600, "Create a new document\nNew"},
    {57601, "Open an existing document\nOpen"},
    {57602, "Close the active document\nClose"},
    {57603, "Save the active document\nSave"},
    {57604, "Save the active document with a new name\nSave As"},
    {57606, "Change the printer and printing options\nPrint Setup"},
    {57607, "Print the active document\nPrint"},
    {57609, "Display full pages\nPrint Preview"},
    {57616, "Open this document"},
    {57634, "Copy the selection and put it on the Clipboard\nCopy"},
    {57635, "Cut the selection and put it on the Clipboard\nCut"},
    {57637, "Insert Clipboard contents\nPaste"},
    {57649, "Arrange icons at the bottom of the window\nArrange Icons"},
    {57650, "Arrange windows so they overlap\nCascade Windows"},
    {57651, "Arrange windows as non-overlapping tiles\nTile Windows"},
    {57664, "Display program information, version number and copyright\nAbout"},
    {57665, "Quit the application; prompts to save documents\nExit"},
    {59142, "Ln %d, Col %d"},
    {59143, "Sel: %d,%d-%d,%d"},
    {59392, "Show or hide the general toolbar\nToggle General ToolBar"},
    {59393, "Show or hide the status bar\nToggle StatusBar"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }));

} // namespace

const char* LoadResString(unsigned id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const Entry& e, unsigned value) { return e.id < value; });
    return (it != std::end(kStrings) && it->id == id) ? it->text : nullptr;
}
