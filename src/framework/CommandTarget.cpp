#include "CommandTarget.h"

void CCommandTarget::OnCommandRange(unsigned first, unsigned last, Handler handler,
                                    UpdateHandler update) {
    m_map.push_back({first, last, std::move(handler), std::move(update)});
}

const CCommandTarget::Entry* CCommandTarget::FindEntry(unsigned id) const {
    for (const Entry& entry : m_map) {
        if (id >= entry.first && id <= entry.last)
            return &entry;
    }
    return nullptr;
}

CCommandTarget* CCommandTarget::FindHandler(unsigned id, const Entry*& entry) {
    for (CCommandTarget* target = this; target; target = target->m_next) {
        entry = target->FindEntry(id);
        if (entry)
            return target;
    }
    return nullptr;
}

CCommandUI CCommandTarget::QueryCommand(unsigned id) {
    CCommandUI ui(id);
    const Entry* entry = nullptr;
    if (FindHandler(id, entry)) {
        ui.m_enabled = true;
        if (entry->update)
            entry->update(ui);
    }
    return ui;
}

bool CCommandTarget::ExecuteCommand(unsigned id) {
    const Entry* entry = nullptr;
    if (!FindHandler(id, entry))
        return false;
    CCommandUI ui(id);
    ui.m_enabled = true;
    if (entry->update)
        entry->update(ui);
    if (!ui.IsEnabled())
        return false;
    entry->run(id);
    return true;
}
