#pragma once

#include <QKeyCombination>

#include <span>

class QKeyEvent;

// One key of an accelerator table and the command it sends.
struct Accelerator {
    QKeyCombination keys;
    unsigned command;
};

// A table of keys and the commands they send, looked up before a key is typed.
class CAcceleratorTable {
public:
    explicit CAcceleratorTable(std::span<const Accelerator> entries) : m_entries(entries) {}

    // The command for a key press, or 0. Keypad keys count as their main-keyboard twins.
    unsigned CommandFor(QKeyCombination keys) const;
    unsigned CommandFor(const QKeyEvent& event) const;

    std::span<const Accelerator> Entries() const { return m_entries; }

private:
    std::span<const Accelerator> m_entries;
};

// The accelerator table with the given resource id, or null when there is none.
const CAcceleratorTable* LoadAccelerators(unsigned resourceId);
