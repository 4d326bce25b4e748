#include "Form.h"

#include "NestedLoopGuard.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <algorithm>
#include <vector>

namespace {

std::vector<Form*>& loadedForms()
{
    static std::vector<Form*> forms;
    return forms;
}

// Forms still loaded when the application object goes away are deleted with it.
void deleteRemainingForms()
{
    std::vector<Form*> remaining;
    remaining.swap(loadedForms());
    for (Form* form : remaining) {
        delete form;
    }
}

} // namespace

Form::Form(const QString& name) : Window(nullptr)
{
    setName(name);
    setWindowTitle(name);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Form::~Form()
{
    std::erase(loadedForms(), this);
}

void Form::registerLoaded()
{
    static bool cleanupRegistered = false;
    if (!cleanupRegistered) {
        qAddPostRoutine(deleteRemainingForms);
        cleanupRegistered = true;
    }
    loadedForms().push_back(this);
}

bool Form::isLoaded() const
{
    const auto& forms = loadedForms();
    return std::find(forms.begin(), forms.end(), this) != forms.end();
}

QList<Form*> Form::Forms()
{
    const auto& forms = loadedForms();
    return QList<Form*>(forms.begin(), forms.end());
}

void Form::Unload(Form* form)
{
    if (form == nullptr || !form->isLoaded() || form->m_unloading) {
        return;
    }
    form->m_unloading = true;
    if (form->Form_QueryUnload()) {
        form->m_unloading = false;
        return;
    }
    form->Form_Unload();
    std::erase(loadedForms(), form);
    form->hide();
    emit form->hidden();
    if (form->m_nestedLoops > 0) {
        // A deferred delete would run inside that loop, under the form's own handler.
        form->m_deletePending = true;
    } else {
        form->deleteLater();
    }
}

void Form::enterNestedLoop()
{
    ++m_nestedLoops;
}

void Form::leaveNestedLoop()
{
    if (--m_nestedLoops == 0 && m_deletePending) {
        m_deletePending = false;
        deleteLater();
    }
}

void Form::closeEvent(QCloseEvent* event)
{
    event->ignore();
    Unload(this);
}

void Form::ShowModal()
{
    QPointer<Form> self(this);
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    const NestedLoopGuard guard(this);
    QEventLoop loop;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    connect(this, &Form::hidden, &loop, &QEventLoop::quit);
    if (self && isVisible()) {
        loop.exec();
    }
}

void Form::hideEvent(QHideEvent* event)
{
    Window::hideEvent(event);
    emit hidden();
}
