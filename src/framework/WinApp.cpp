#include "WinApp.h"

CWinApp* CWinApp::s_instance = nullptr;

CWinApp::CWinApp() {
    s_instance = this;
}

CWinApp::~CWinApp() {
    if (s_instance == this) s_instance = nullptr;
}

CWinApp* CWinApp::Instance() {
    return s_instance;
}
