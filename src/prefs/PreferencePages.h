#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QFormLayout;
class QGroupBox;
class QLineEdit;

// A page of the settings dialogs: its caption bar on top and its groups of controls below.
// OK writes the page's controls into the settings store; pages without values have none.
class CPreferencePage : public QWidget {
    Q_OBJECT

public:
    explicit CPreferencePage(const QString& caption, QWidget* parent = nullptr);
    virtual void OnOK() {}

protected:
    // A group box under the caption (or under the groups added before) with a form inside.
    QFormLayout* AddGroup(const QString& title);
};

// "General Preferences" and "Input Devices": a caption and nothing else.
class CGeneralTopic : public CPreferencePage {
public:
    explicit CGeneralTopic(QWidget* parent = nullptr);
};

class CInputTopic : public CPreferencePage {
public:
    explicit CInputTopic(QWidget* parent = nullptr);
};

// The author details that new scripts carry (section "User").
class CGeneralUser : public CPreferencePage {
    Q_OBJECT

public:
    explicit CGeneralUser(QWidget* parent = nullptr);
    void OnOK() override;

private:
    QLineEdit* m_name;
    QLineEdit* m_company;
    QLineEdit* m_internet;
};

// The folders of the client, the server and Axis, and the client program (section "UO").
class CGeneralDirectory : public CPreferencePage {
    Q_OBJECT

public:
    explicit CGeneralDirectory(QWidget* parent = nullptr);
    void OnOK() override;

    QLineEdit* ClientFolder() const { return m_client; }
    QLineEdit* ClientProgram() const { return m_program; }

private:
    QLineEdit* AddFolderField(QFormLayout& form, const QString& label, const QString& title);
    void ChooseClientProgram();

    QLineEdit* m_client;
    QLineEdit* m_server;
    QLineEdit* m_axis;
    QLineEdit* m_program;
};

// The console connection (section "Telnet").
class CGeneralTelnet : public CPreferencePage {
    Q_OBJECT

public:
    explicit CGeneralTelnet(QWidget* parent = nullptr);
    void OnOK() override;

    QCheckBox* SendPassword() const { return m_sendPassword; }
    QLineEdit* Password() const { return m_password; }

private:
    QLineEdit* m_host;
    QLineEdit* m_port;
    QCheckBox* m_sendSpace;
    QCheckBox* m_sendPassword;
    QLineEdit* m_password;
};

// "Mouse": controls for the wheel and extra buttons, none of which can be used yet.
class CInputMouse : public CPreferencePage {
public:
    explicit CInputMouse(QWidget* parent = nullptr);
};
