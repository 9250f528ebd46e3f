#pragma once

#include "CCommandButton.h"
#include "CFormLayout.h"
#include "CLabel.h"
#include "CListBox.h"
#include "CTextBox.h"

#include <functional>
#include <memory>
#include <typeindex>
#include <vector>

class CFormWindow;
class QWidget;

// A window of the program: built from its layout table on Load, with event
// handlers that the platform runs. Each form has one instance, made on first
// reference and kept until the program ends.
class CForm
{
public:
    virtual ~CForm();
    CForm(const CForm&) = delete;
    CForm& operator=(const CForm&) = delete;

    template <class T> static T& Get()
    {
        if (CForm* pForm = find(typeid(T)))
            return static_cast<T&>(*pForm);
        return static_cast<T&>(adopt(typeid(T), std::make_unique<T>()));
    }

    // Shows the start form and runs the event loop until End.
    template <class T> static int Run()
    {
        Get<T>().Show();
        return exec();
    }

    // Ends the program: the event loop stops, or never starts if it has not
    // yet, and every form is released. Once ended, the program stays ended.
    static void End();
    static bool HasEnded();
    // Destroys every form, loaded or not, without raising their events.
    static void ReleaseAll();
    // Releases every form and begins the program anew, not ended: for a
    // process that runs it more than once, as tests do.
    static void Restart();

    void Load();
    void Show();
    // Shows the form and returns once it is hidden or unloaded; meanwhile no
    // other window of the program takes input.
    void ShowModal();
    void Hide();
    void Unload();
    bool IsLoaded() const;
    bool IsVisible() const;

    // Tells screen reader users what a command has done, in this form's
    // window, once that window is active; sighted users see nothing new.
    void Announce(const QString& strText);

    // The top-level widget while loaded, else nullptr. For the platform and tests.
    QWidget* Window() const;

    // Runs an event handler. A failure that reaches it is shown to the user
    // in a message box; the handler's later steps do not run and the program
    // goes on.
    static void RunHandler(const std::function<void()>& fnHandler);

protected:
    explicit CForm(const FormLayout& objLayout);

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Unload() {}
    // The window frame's close button was pressed. Unloads the form unless
    // the form decides otherwise.
    virtual void Form_QueryUnload() { Unload(); }

    void OnClick(const char* pszControl, std::function<void()> fnHandler);
    void OnDblClick(const char* pszControl, std::function<void()> fnHandler);

    // A control of this form; referring to one loads the form.
    CCommandButton CommandButton(const char* pszName);
    CTextBox TextBox(const char* pszName);
    CLabel Label(const char* pszName);
    CListBox ListBox(const char* pszName);

public:
    // A handler, and the control and event it runs for.
    struct Binding
    {
        enum Event
        {
            Click,
            DblClick,
        };
        const char* pszControl;
        Event enmEvent;
        std::function<void()> fnHandler;
    };

private:
    static CForm* find(std::type_index objType);
    static CForm& adopt(std::type_index objType, std::unique_ptr<CForm> pForm);
    static int exec();

    QWidget& control(const char* pszName);

    const FormLayout& mobjLayout;
    std::vector<Binding> mlstBindings;
    std::unique_ptr<CFormWindow> mpWindow;
};
