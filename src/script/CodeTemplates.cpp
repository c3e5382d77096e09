#include "CodeTemplates.h"

#include "framework/CommandAction.h"
#include "framework/CommandIds.h"

#include <QMenu>

#include <algorithm>
#include <iterator>

namespace {

constexpr CodeTemplate kTemplates[] = {
    {ID_INSERT_HEADER_ITEM, "Header &Item",
     "[ITEMDEF i_newitem]\r\nID=[base_id]\r\nNAME=[item_name]\r\n"
     "VALUE=[item_value_min],[item_value_max]\r\nWEIGHT=[item_weight/weapon_speed]\r\n\r\n"
     "ON=@CREATE\r\nCOLOR=[item_color]\r\nTYPE=[item_type]\r\n"},
    {ID_INSERT_AXIS_INFO, "&Axis Info Block",
     "CATEGORY=[category_of_item]\r\nSUBSECTION=[subsection_of_item]\r\n"
     "DESCRIPTION=[description_of_item]\r\n"},
    {ID_INSERT_HEADER_CHAR, "Header &Char",
     "[CHARDEF c_newchar]\r\nID=[base_id]\r\nNAME=[char_name]\r\nSOUND=[char_sound]\r\n"
     "FOODTYPE=[char_foodtypes]\r\n\r\nTEVENTS=[char_events]\r\nTSPEECH=[char_speeches]\r\n\r\n"
     "DESIRES=[char_desires]\r\nHIREDAYWAGE=[char_hiredaywage]\r\n\r\n//axis defs\r\n"
     "CATEGORY=[category_of_item]\r\nSUBSECTION=[subsection_of_item]\r\n"
     "DESCRIPTION=[description_of_item]\r\n\r\nON=@Create\r\nCOLOR=[char_color]\r\n"
     "NPC=[char_brain]\r\nBODY=[char_body]\r\n\r\nSTR={[str_min],[str_max]}\r\n"
     "DEX={[dex_min],[dex_max]}\r\nINT={[int_min],[int_max]}\r\n\r\n"
     "KARMA={[karma_min],[karma_max]}\r\nFAME={[fame_min],[fame_max]}\r\nTITLE=[char_title]\r\n"},
    {ID_INSERT_GUMP_HEADER, "&Gump Header",
     "[DIALOG d_newdialog]\r\n0,0\r\npage 0\r\n\r\n[DIALOG d_newdialog text]\r\n"
     "[--Insert text lines here--]\r\n\r\n[DIALOG d_newdialog button]\r\nON=0\r\n"
     " //do something for cancel button (right mouse click)\r\nON=1\r\n"
     " //do something for button id=1\r\n"},
    {32786, "Resizepic", "resizepic [x] [y] [gump_id] [width] [height]\r\n"},
    {32787, "Gumppic", "gumppic [x] [y] [gump_id]\r\n"},
    {32788, "Tilepic", "tilepic [x] [y] [tile_id]\r\n"},
    {32789, "Text", "text [x] [y] [color] [string_index]\r\n"},
    {32790, "Cropped Text", "croppedtext [x] [y] [width] [height] [color] [string_index]\r\n"},
    {32791, "Button",
     "button [x] [y] [gump_id_down] [gump_id_up] [pressable] [pagedest] [button_id]\r\n"},
    {32792, "Radio Button",
     "radio [x] [y] [gump_id_choosen] [gump_id_not_choosen] [starting state] [radio_id]\r\n"},
    {32793, "Check Button",
     "checkbox [x] [y] [gump_id_checked] [gump_id_unchecked] [starting_state] [check_id]\r\n"},
    {32794, "Textentry",
     "textentry [x] [y] [width_pix] [width_chars] [color] [textentry_id] "
     "[starting_string_index]\r\n"},
    {32795, "Page", "page [page_number]\r\n"},
    {32796, "Group", "group [?group_numer?]\r\n"},
    {32797, "Nomove", "nomove\r\n"},
    {32798, "Noclose", "noclose\r\n"},
    {ID_INSERT_NODISPOSE, "Nodispose", "nodispose\r\n"},
};

void AddTemplateItem(QMenu& menu, unsigned id) {
    menu.addAction(
        MakeCommandAction(QString::fromLatin1(FindCodeTemplate(id)->menuText), id, &menu));
}

} // namespace

std::span<const CodeTemplate> CodeTemplates() {
    return kTemplates;
}

const CodeTemplate* FindCodeTemplate(unsigned id) {
    const auto it = std::find_if(std::begin(kTemplates), std::end(kTemplates),
                                 [id](const CodeTemplate& entry) { return entry.id == id; });
    return it != std::end(kTemplates) ? &*it : nullptr;
}

void AddInsertCodeItems(QMenu& menu) {
    AddTemplateItem(menu, ID_INSERT_AXIS_INFO);
    QMenu* gumps = menu.addMenu(QStringLiteral("&Gumps / Dialogs"));
    AddTemplateItem(*gumps, ID_INSERT_GUMP_HEADER);
    gumps->addSeparator();
    for (unsigned id = ID_INSERT_GUMP_HEADER + 1; id <= ID_INSERT_NODISPOSE; ++id)
        AddTemplateItem(*gumps, id);
    AddTemplateItem(menu, ID_INSERT_HEADER_CHAR);
    AddTemplateItem(menu, ID_INSERT_HEADER_ITEM);
}
