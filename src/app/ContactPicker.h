// "Send to...": the phone book's contacts in a list that a search field narrows, plus a field for
// numbers that are in no contact. Several contacts and numbers can be chosen at once.
#pragma once

#include <QDialog>
#include <QPair>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;

class ContactPicker : public QDialog
{
    Q_OBJECT
public:
    // `contacts`: name and number, in the phone book's order.
    ContactPicker(const QList<QPair<QString, QString>>& contacts, QWidget* parent = nullptr);

    // After OK: the numbers of the checked contacts, then the valid typed numbers, each once and
    // in the form a message's recipient field accepts.
    QStringList Numbers() const;
    // After OK: what was typed (or stored in a checked contact) that is no phone number.
    QStringList Invalid() const;

    // A number as the recipient field takes it: formatting (blanks, dashes, brackets, dots,
    // slashes) removed. Empty when what remains is not a phone number.
    static QString Dialable(const QString& text);

private:
    void filter(const QString& text);

    QLineEdit* m_pSearch = nullptr;
    QListWidget* m_pList = nullptr;
    QLineEdit* m_pNumbers = nullptr;
};
