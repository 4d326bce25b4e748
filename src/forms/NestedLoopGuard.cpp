#include "NestedLoopGuard.h"

#include "Form.h"

#include <QWidget>

NestedLoopGuard::NestedLoopGuard(QWidget* widget)
    : m_form(widget != nullptr ? qobject_cast<Form*>(widget->window()) : nullptr)
{
    if (m_form != nullptr) {
        m_form->enterNestedLoop();
    }
}

NestedLoopGuard::~NestedLoopGuard()
{
    if (m_form != nullptr) {
        m_form->leaveNestedLoop();
    }
}
