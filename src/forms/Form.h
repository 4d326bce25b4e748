#pragma once

#include "Window.h"

#include <QList>
#include <QPointer>
#include <utility>

// A top-level window with the load / query-unload / unload life cycle. Loaded forms
// are kept in the application's collection in load order (Form::Forms()); the
// collection owns them, and unloading removes and deletes the form.
class Form : public Window
{
    Q_OBJECT

public:
    explicit Form(const QString& name);
    ~Form() override;

    // Creates a form, puts it into the collection and runs its load handler.
    template <class T, class... Args> static T* Load(Args&&... args)
    {
        auto* form = new T(std::forward<Args>(args)...);
        Form* loaded = form;
        loaded->registerLoaded();
        loaded->Form_Load();
        return form;
    }

    // The loaded form of a class, or nullptr; and the same, loading it when there is none.
    template <class T> static T* Find()
    {
        for (Form* form : Forms()) {
            if (auto* found = dynamic_cast<T*>(form)) {
                return found;
            }
        }
        return nullptr;
    }
    template <class T> static T* FindOrLoad()
    {
        T* form = Find<T>();
        return form != nullptr ? form : Load<T>();
    }

    // Shows the form modally and returns when it has been unloaded or hidden.
    void ShowModal();

    // Runs the query-unload handler (which may refuse) and the unload handler, then
    // removes the form from the collection and deletes it (once no nested loop of its
    // own runs, see NestedLoopGuard). Unloading a form that is not loaded, or that is
    // already being unloaded, does nothing.
    static void Unload(Form* form);
    // The loaded forms, in load order.
    static QList<Form*> Forms();

    bool isLoaded() const;

signals:
    // The form was hidden or unloaded.
    void hidden();

protected:
    virtual void Form_Load() {}
    // Return true to refuse the unload.
    virtual bool Form_QueryUnload() { return false; }
    virtual void Form_Unload() {}

    // A close request from the window manager or the close box unloads the form.
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class NestedLoopGuard;
    void registerLoaded();
    void enterNestedLoop();
    void leaveNestedLoop();

    bool m_unloading = false;
    // Nested loops of the form's own on the stack, and whether it was unloaded meanwhile.
    int m_nestedLoops = 0;
    bool m_deletePending = false;
};
