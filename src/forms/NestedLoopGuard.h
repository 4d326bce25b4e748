#pragma once

#include "Form.h"

#include <QPointer>

class QWidget;

// Keeps the form that holds a widget from being deleted while a nested event loop
// started for that widget runs (a drag, a dialog the form owns): a form unloaded
// meanwhile is deleted once the last such loop has returned, when no handler of its
// own is on the stack any more.
class NestedLoopGuard
{
public:
    explicit NestedLoopGuard(QWidget* widget);
    ~NestedLoopGuard();
    NestedLoopGuard(const NestedLoopGuard&) = delete;
    NestedLoopGuard& operator=(const NestedLoopGuard&) = delete;

    // The guarded form, or nullptr when the widget lies on no form.
    Form* form() const { return m_form; }

private:
    QPointer<Form> m_form;
};
