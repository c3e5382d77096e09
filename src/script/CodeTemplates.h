#pragma once

#include <span>
#include <string_view>

class QMenu;

// A ready-made script fragment of the "&Insert Code" menu and the command that inserts it.
struct CodeTemplate {
    unsigned id;
    const char* menuText;
    std::string_view text; // CR LF line ends
};

std::span<const CodeTemplate> CodeTemplates();
// The template of a command id, or null.
const CodeTemplate* FindCodeTemplate(unsigned id);

// Adds the items of the insert-code menu to `menu`: "&Axis Info Block", the submenu
// "&Gumps / Dialogs" (the gump header, a separator and the gump commands), "Header &Char"
// and "Header &Item". The actions carry the template's command ids.
void AddInsertCodeItems(QMenu& menu);
