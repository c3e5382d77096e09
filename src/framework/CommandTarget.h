#pragma once

#include <QString>

#include <functional>
#include <vector>

// The state of one command as its update handler leaves it: whether it can run, whether
// its menu item is checked, and an optional new menu text.
class CCommandUI {
public:
    explicit CCommandUI(unsigned id) : m_id(id) {}

    unsigned Id() const { return m_id; }
    void Enable(bool enabled = true) { m_enabled = enabled; }
    void SetCheck(bool checked = true) { m_checked = checked; }
    void SetText(const QString& text) { m_text = text; }

    bool IsEnabled() const { return m_enabled; }
    bool IsChecked() const { return m_checked; }
    const QString& Text() const { return m_text; } // empty when the handler set none

private:
    friend class CCommandTarget;
    unsigned m_id;
    bool m_enabled = false;
    bool m_checked = false;
    QString m_text;
};

// Something that handles numeric commands: a table of command handlers with their update
// handlers, and the next target that gets a command this one does not handle (view, then
// its frame, then the main frame, then the application).
class CCommandTarget {
public:
    using Handler = std::function<void(unsigned id)>;
    using UpdateHandler = std::function<void(CCommandUI& ui)>;

    virtual ~CCommandTarget() = default;

    // Runs the command on the first target of the chain that handles it, provided its
    // update handler leaves it enabled. False when nobody ran it.
    bool ExecuteCommand(unsigned id);
    // The command's state from the first target of the chain that handles it; a command
    // that nobody handles is disabled.
    CCommandUI QueryCommand(unsigned id);

    void SetNextCommandTarget(CCommandTarget* next) { m_next = next; }
    CCommandTarget* NextCommandTarget() const { return m_next; }

protected:
    // Registers a handler for the ids first..last. Without an update handler the commands
    // are always enabled.
    void OnCommandRange(unsigned first, unsigned last, Handler handler,
                        UpdateHandler update = {});
    void OnCommand(unsigned id, Handler handler, UpdateHandler update = {}) {
        OnCommandRange(id, id, std::move(handler), std::move(update));
    }

private:
    struct Entry {
        unsigned first;
        unsigned last;
        Handler run;
        UpdateHandler update;
    };
    const Entry* FindEntry(unsigned id) const;
    // The target of the chain that handles `id`, and its entry; null when none does.
    CCommandTarget* FindHandler(unsigned id, const Entry*& entry);

    std::vector<Entry> m_map;
    CCommandTarget* m_next = nullptr;
};
