#pragma once

#include "CommandTarget.h"

#include <QString>

class CDocument;

// What the rest of the program knows of the application object: the end of the command
// route, and the one operation that opens a file as a document.
class CWinApp : public CCommandTarget {
public:
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The running application, or null.
    static CWinApp* Instance();

    // Opens `path` as a document (a new one when empty); a file that is open already gets
    // its window activated instead. Null when it fails (the user has been told why).
    virtual CDocument* OpenDocumentFile(const QString& path) = 0;

private:
    static CWinApp* s_instance;
};
