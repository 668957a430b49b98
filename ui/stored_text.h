#pragma once

// A box that shows a value the game files hold. It keeps the bytes it was filled with, so an
// untouched box gives them back exactly, whatever Qt did to the text it shows (cut it to the
// default length, completed it, turned a stray CR into a blank). Only text the user changed
// goes through the byte table and the line-break joining.

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace hv {
struct Field;
}

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace hv::ui {

class StoredText {
public:
    // Takes over the box: no length limit, line breaks joined as they are typed, and for an
    // editable combo no completer, so what is typed stays exactly as typed. `label` names the
    // box in refusals.
    void attach(QLineEdit* box, const QString& label);
    void attach(QComboBox* combo, const QString& label);
    // A multi-line box: the value shows with its line breaks as paragraphs, and typed text
    // has its breaks joined when it is given back.
    void attach(QPlainTextEdit* box, const QString& label);

    void setLabel(const QString& label) { label_ = label; }

    // Shows `bytes` and remembers them.
    void set(std::string_view bytes);
    // Replaces a combo's items; each one picked gives back its own bytes.
    void setItems(const std::vector<std::string>& items);
    // The same with the words of a field's choices, in their order.
    void setChoices(const Field& field);
    // Empties the box; an empty box gives back no bytes.
    void clear();

    // True when the box shows something other than what was set or picked.
    bool edited() const;
    // The bytes the box was filled with: the base of an edit (see gamefiles/merge.h).
    const std::string& base() const { return stored_; }
    // Takes `bytes` as the new base and keeps what the user typed: after the user chose to
    // write his value over one the file got meanwhile, the next write is merged against that.
    void rebase(std::string_view bytes);
    // The remembered bytes when the box is unchanged, else the typed text with its line
    // breaks joined. Throws OperationRefused when a typed character has no byte.
    std::string bytes() const;

    QLineEdit* box() const { return box_; } // none for a multi-line box

    // How a stored value is shown: every byte through the byte table, except that a CR or LF
    // that does not end a line shows as a visible mark instead of breaking or vanishing.
    static QString shown(std::string_view bytes);

private:
    QString text() const;

    QLineEdit* box_ = nullptr;
    QComboBox* combo_ = nullptr;
    QPlainTextEdit* lines_ = nullptr;
    QString label_;
    std::string stored_;
    QString storedShown_;
    std::vector<std::string> items_;
};

} // namespace hv::ui
