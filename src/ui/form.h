#pragma once
// The window base class and the one global instance of each window.
//
//   namespace login {
//   class Form1 : public ui::Form {
//   public:
//       Form1();                       // design: setCaption, setClientSize, controls
//       ui::TextBox Text1{*this};      // controls, declared in tab order
//   protected:
//       void Form_Load() override;     // raised once per load
//   };
//   }
//   inline ui::FormRef<login::Form1> Form1;   // the global instance
//
//   ::Form1.Load();           // builds it and raises Form_Load
//   ::Form1->Show();          // first reference builds a fresh window and raises Form_Load
//   ::Form3->Show(this);      // modeless, kept above its owner
//   ::Form2.Unload();         // raises Form_Unload; nothing when not loaded
//   ui::End();                // stops the program at once
//
// A window is built with its design-time values each time it loads. Unload
// hides and discards it at once (the global reference is cleared, so the next
// reference builds a fresh one); the C++ object itself is deleted only once
// no event handler is running any more, so a handler may unload its own
// window and go on. Every window carries the program's icon. The program
// ends when its last loaded window is unloaded and nothing shows another one
// before the event loop next runs.
//
// Window events (Form_Activate, Form_Resize and the close box) that come
// from the window system are raised untrapped: an escaping dd::Error is
// reported and ends the program (error_modes.h).
#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace ui {

class CommandButton;
class Control;
class FormWindow;

// Caption-bar buttons of a window (combine with |).
enum CaptionButton { NoCaptionButtons = 0, CloseBox = 1, MinButton = 2, MaxButton = 4 };

enum class StartUpPosition { Manual, CenterOwner, CenterScreen };

class Form : public QObject {
public:
    Form();
    ~Form() override;
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    // Makes the window visible (modeless); with an owner it stays above it.
    void Show(Form *owner = nullptr);
    void Hide();
    // Raises Form_Unload (a Cancel set there keeps the window) and discards
    // the window and its controls. Does nothing when not loaded.
    void Unload();
    bool isLoaded() const { return loaded_; }
    bool Visible() const;

    QString Caption() const;
    void setCaption(const QString &caption);
    // Inner (client) area in twips; 0 high while minimised.
    float ScaleWidth() const;
    float ScaleHeight() const;

    // Design-time settings.
    void setClientSize(float widthTwips, float heightTwips);  // fixed size
    void setResizable(bool resizable);                        // default: fixed border
    void setCaptionButtons(int buttons);                      // CaptionButton flags; default CloseBox
    int captionButtons() const { return captionButtons_; }
    void setStartUpPosition(StartUpPosition position);        // default CenterOwner
    void setPicture(const QPixmap &picture);                  // drawn unscaled at top-left
    void setIcon(const QIcon &icon);

    // The top-level widget (for tests, grabbing and the grid/status bar code).
    QWidget *widget() const;
    Form *owner() const { return owner_; }

    // Called by FormRef right after construction.
    void raiseLoad();

    // All windows loaded at the moment, in load order.
    static std::vector<Form *> loadedForms();

protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload(int &Cancel) { (void)Cancel; }

private:
    friend class FormWindow;
    friend class Control;
    template <class T> friend class FormRef;
    friend void End();

    void discard();
    void placeAtFirstShow();
    void windowActivated();
    void windowResized();
    void closeRequested();
    void applyWindowFlags();
    std::vector<CommandButton *> commandButtons() const;
    void registerControl(Control *c);
    void unregisterControl(Control *c);

    FormWindow *window_ = nullptr;
    bool loaded_ = true;
    bool unloading_ = false;
    bool shownOnce_ = false;
    int captionButtons_ = CloseBox;
    bool resizable_ = false;
    StartUpPosition startUp_ = StartUpPosition::CenterOwner;
    Form *owner_ = nullptr;
    std::function<void()> detachRef_;
    std::vector<Control *> controls_;
};

// True once End ran (or the last window was unloaded).
bool programEnded();

// The one global instance of a window class T (T derives from Form and is
// default-constructible). The first reference builds the window and raises
// its Form_Load; after Unload the next reference builds a fresh one.
template <class T>
class FormRef {
public:
    constexpr FormRef() = default;
    FormRef(const FormRef &) = delete;
    FormRef &operator=(const FormRef &) = delete;

    T &operator*() { return load(); }
    T *operator->() { return &load(); }
    // Loads the window without showing it (it stays hidden unless its
    // Form_Load shows it).
    void Load() { load(); }
    // The loaded window, or nullptr; never loads.
    T *loaded() const { return instance_; }
    bool isLoaded() const { return instance_ != nullptr; }
    // Unloads the window when it is loaded; otherwise does nothing.
    void Unload()
    {
        if (instance_)
            instance_->Unload();
    }

private:
    T &load()
    {
        if (instance_)
            return *instance_;
        T *form = new T();
        form->detachRef_ = [this, form] {
            if (instance_ == form)
                instance_ = nullptr;
        };
        instance_ = form;
        form->raiseLoad();
        // A Form_Load may unload its own window; the object itself stays
        // alive until the handlers have returned.
        return *form;
    }
    T *instance_ = nullptr;
};

// Stops the program at once: every loaded window is discarded without its
// Form_Unload and the event loop is told to quit. Call it last in a handler.
void End();
// For tests: discards every window without events, deletes the discarded
// windows and clears the ended state.
void resetProgram();
// Deletes windows discarded by Unload/End when no event handler is running.
// Runs by itself from the event loop; tests may call it directly.
void deleteDiscardedForms();

}  // namespace ui
