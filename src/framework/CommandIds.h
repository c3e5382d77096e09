#pragma once

// Numeric ids shared by menus, toolbars, accelerators and command handlers, and the ids of
// the resources that carry them. One list for the whole application, so that an id means
// the same command wherever it appears.

// Resources.
constexpr unsigned IDR_MAINFRAME = 128;           // main menu and accelerator table
constexpr unsigned IDC_MARGIN_CURSOR = 22900;     // cursor over the text view's left margin
constexpr unsigned IDR_TEXTVIEW_ACCEL = 22901;    // keys of the text and edit views

// Standard file and edit commands.
constexpr unsigned ID_FILE_PRINT = 57607;
constexpr unsigned ID_FILE_PRINT_DIRECT = 57608;
constexpr unsigned ID_FILE_PRINT_PREVIEW = 57609;
constexpr unsigned ID_EDIT_COPY = 57634;
constexpr unsigned ID_EDIT_CUT = 57635;
constexpr unsigned ID_EDIT_FIND = 57636;
constexpr unsigned ID_EDIT_PASTE = 57637;
constexpr unsigned ID_EDIT_REPEAT = 57640; // find next
constexpr unsigned ID_EDIT_REPLACE = 57641;
constexpr unsigned ID_EDIT_SELECT_ALL = 57642;
constexpr unsigned ID_EDIT_UNDO = 57643;
constexpr unsigned ID_EDIT_REDO = 57644;

// Editing keys of the edit view.
constexpr unsigned ID_EDIT_DELETE = 37000;
constexpr unsigned ID_EDIT_DELETE_BACK = 37001;
constexpr unsigned ID_EDIT_DELETE_WORD_BACK = 37002;
constexpr unsigned ID_EDIT_TAB = 37003;
constexpr unsigned ID_EDIT_UNTAB = 37004;
constexpr unsigned ID_EDIT_SWITCH_OVRMODE = 37005;

// Caret moves; each EXT_ id is its neighbour with Shift, extending the selection.
constexpr unsigned ID_EDIT_CHAR_LEFT = 37100;
constexpr unsigned ID_EDIT_EXT_CHAR_LEFT = 37101;
constexpr unsigned ID_EDIT_CHAR_RIGHT = 37102;
constexpr unsigned ID_EDIT_EXT_CHAR_RIGHT = 37103;
constexpr unsigned ID_EDIT_WORD_LEFT = 37104;
constexpr unsigned ID_EDIT_EXT_WORD_LEFT = 37105;
constexpr unsigned ID_EDIT_WORD_RIGHT = 37106;
constexpr unsigned ID_EDIT_EXT_WORD_RIGHT = 37107;
constexpr unsigned ID_EDIT_LINE_UP = 37108;
constexpr unsigned ID_EDIT_EXT_LINE_UP = 37109;
constexpr unsigned ID_EDIT_LINE_DOWN = 37110;
constexpr unsigned ID_EDIT_EXT_LINE_DOWN = 37111;
constexpr unsigned ID_EDIT_SCROLL_UP = 37112;
constexpr unsigned ID_EDIT_SCROLL_DOWN = 37113;
constexpr unsigned ID_EDIT_PAGE_UP = 37114;
constexpr unsigned ID_EDIT_EXT_PAGE_UP = 37115;
constexpr unsigned ID_EDIT_PAGE_DOWN = 37116;
constexpr unsigned ID_EDIT_EXT_PAGE_DOWN = 37117;
constexpr unsigned ID_EDIT_LINE_END = 37118;
constexpr unsigned ID_EDIT_EXT_LINE_END = 37119;
constexpr unsigned ID_EDIT_HOME = 37120;
constexpr unsigned ID_EDIT_EXT_HOME = 37121;
constexpr unsigned ID_EDIT_TEXT_BEGIN = 37122;
constexpr unsigned ID_EDIT_EXT_TEXT_BEGIN = 37123;
constexpr unsigned ID_EDIT_TEXT_END = 37124;
constexpr unsigned ID_EDIT_EXT_TEXT_END = 37125;
constexpr unsigned ID_EDIT_FIND_PREVIOUS = 37126;

// Bookmarks: ten numbered ones (toggle and go to n is the first id + n) and plain ones.
constexpr unsigned ID_EDIT_TOGGLE_BOOKMARK0 = 37200;
constexpr unsigned ID_EDIT_TOGGLE_BOOKMARK9 = 37209;
constexpr unsigned ID_EDIT_GO_BOOKMARK0 = 37210;
constexpr unsigned ID_EDIT_GO_BOOKMARK9 = 37219;
constexpr unsigned ID_EDIT_TOGGLE_BOOKMARK = 37223;
constexpr unsigned ID_EDIT_NEXT_BOOKMARK = 37224;
constexpr unsigned ID_EDIT_PREV_BOOKMARK = 37225;
constexpr unsigned ID_EDIT_CLEAR_BOOKMARKS = 37226;

// Resources of the application shell and the script windows.
constexpr unsigned IDD_ABOUTBOX = 100;
constexpr unsigned IDR_QUILLETTYPE = 129;       // script window menu, icon, document string
constexpr unsigned IDR_TOOLS_TOOLBAR = 129;
constexpr unsigned IDR_HISTORY_TEXT = 131;
constexpr unsigned IDD_GOTO = 146;
constexpr unsigned IDR_SCRIPT_CONTEXT_MENU = 147;
constexpr unsigned IDR_INSERT_CODE_MENU = 158;
constexpr unsigned IDB_ABOUT_PICTURE = 167;
constexpr unsigned IDR_TELNET_FRAME = 160;

// Standard application commands.
constexpr unsigned ID_FILE_NEW = 57600;
constexpr unsigned ID_FILE_OPEN = 57601;
constexpr unsigned ID_FILE_CLOSE = 57602;
constexpr unsigned ID_FILE_SAVE = 57603;
constexpr unsigned ID_FILE_SAVE_AS = 57604;
constexpr unsigned ID_FILE_PRINT_SETUP = 57606;
constexpr unsigned ID_FILE_MRU_FILE1 = 57616; // the recent files are 57616 to 57631
constexpr unsigned ID_FILE_MRU_LAST = 57631;
constexpr unsigned ID_WINDOW_ARRANGE = 57649;
constexpr unsigned ID_WINDOW_CASCADE = 57650;
constexpr unsigned ID_WINDOW_TILE_HORZ = 57651;
constexpr unsigned ID_APP_ABOUT = 57664;
constexpr unsigned ID_APP_EXIT = 57665;
constexpr unsigned ID_INDICATOR_CARET = 59142; // status pane of the caret position
constexpr unsigned ID_VIEW_TOOLBAR = 59392;    // the General toolbar
constexpr unsigned ID_VIEW_STATUS_BAR = 59393;
constexpr unsigned ID_EXTERN_PLACEHOLDER = 65535; // "&Extern": no command, always disabled

// Script view and main frame commands.
constexpr unsigned ID_EDIT_GOTO = 32773;
constexpr unsigned ID_VIEW_PREFERENCES = 32775;
constexpr unsigned ID_TOOLS_CONSOLE = 32776;
constexpr unsigned ID_TOOLS_AXIS = 32777;
constexpr unsigned ID_TOOLS_SPHERESERVER = 32778;
constexpr unsigned ID_TOOLS_UOCLIENT = 32779;
constexpr unsigned ID_TOOLS_COLOR_PICKER = 32781;
constexpr unsigned ID_VIEW_TOOLS_TOOLBAR = 32800;
constexpr unsigned ID_VIEW_WORKSPACE = 32801;
constexpr unsigned ID_TOOLS_ART_PICKER = 32806;
constexpr unsigned ID_FILE_EXPORT_PDF = 32807;

// Searching across the server's scripts.
constexpr unsigned ID_EDIT_FIND_IN_FILES = 32810;
constexpr unsigned ID_EDIT_NEXT_RESULT = 32811;
constexpr unsigned ID_EDIT_PREV_RESULT = 32812;
constexpr unsigned ID_EDIT_GOTO_DEFINITION = 32813;
constexpr unsigned ID_EDIT_FIND_REFERENCES = 32814;
constexpr unsigned ID_VIEW_FIND_RESULTS = 32815;

// Code templates of the script view's "&Insert Code" menu.
constexpr unsigned ID_INSERT_HEADER_ITEM = 32782;
constexpr unsigned ID_INSERT_AXIS_INFO = 32783;
constexpr unsigned ID_INSERT_HEADER_CHAR = 32784;
constexpr unsigned ID_INSERT_GUMP_HEADER = 32785;
constexpr unsigned ID_INSERT_NODISPOSE = 32799; // the gump commands are 32786 to 32799
