#pragma once

// Parameters edited in the tree but not written to the controller they were
// read from. Whatever would drop them (closing the window, another port,
// another variant, a parameter file, a recording) asks first: write them,
// drop them, or leave everything as it was.

#include <QObject>
#include <functional>

namespace gencfg {

class Messages;
class ParamModel;

class UnwrittenChanges : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool present READ present NOTIFY presentChanged)
public:
    // Starts a write and tells then whether the controller proved it.
    using Write = std::function<void(std::function<void(bool proven)> then)>;

    UnwrittenChanges(ParamModel &model, Messages &messages, Write write, QObject *parent = nullptr);

    bool present() const { return m_present; }
    // Whether a write could start now; "Записать" is offered only then.
    void setWritable(std::function<bool()> writable) { m_writable = std::move(writable); }

    // Runs proceed at once when nothing would be lost; otherwise asks, and runs it after a proven write or
    // when the changes are dropped. keep runs when the technician keeps things as they were.
    void settle(const std::function<void()> &proceed, const std::function<void()> &keep = {});

    static QString QuestionText();

Q_SIGNALS:
    void presentChanged(bool present);

private:
    void refresh();

    ParamModel &m_model;
    Messages &m_messages;
    Write m_write;
    std::function<bool()> m_writable = [] { return true; };
    bool m_present = false;
    bool m_asking = false;
};

} // namespace gencfg
