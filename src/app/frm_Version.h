#pragma once

#include "forms/Form.h"

#include <QIcon>

// The about box: the program's name, version and icon. It also owns the program
// icon, which the tray icon is taken from.
class frm_Version : public Form
{
    Q_OBJECT

public:
    frm_Version();

    static QIcon programIcon();

protected:
    void Form_Load() override;

private:
    void Command1_Click();
};
