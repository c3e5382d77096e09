#pragma once

#include <QProgressDialog>

#include <functional>

class QProgressBar;

// The window of a long task that asks nothing of the user: it appears only once the task
// has taken longer than a moment, the program's windows keep repainting meanwhile, and user
// input waits (under the wait cursor) until the task is done.
class CProgressWindow {
public:
    // With `steps` 0 the bar only shows that work goes on; otherwise Advance counts to it.
    CProgressWindow(const QString& label, QWidget* parent, int steps = 0);
    ~CProgressWindow();
    CProgressWindow(const CProgressWindow&) = delete;
    CProgressWindow& operator=(const CProgressWindow&) = delete;

    // Runs `work` on a worker thread and returns once it is done.
    void RunOnWorker(const std::function<void()>& work);
    // Between two slices of a task done on the UI thread: shows `step` steps done and lets
    // windows repaint.
    void Advance(int step);

private:
    QProgressDialog m_dialog;
    QProgressBar* m_bar; // owned by the dialog
};
