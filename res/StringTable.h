#pragma once

// The application's string table: fixed user-visible texts looked up by numeric id, so
// that code, menus and messages share one source for each text.
// Returns null for an id the table does not hold.
const char* LoadResString(unsigned id);
