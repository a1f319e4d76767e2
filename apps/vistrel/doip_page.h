// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <functional>
#include <thread>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vistrel {

struct DoipSettings;

// The Connection dialog's page of a doip: link: the entity's address and
// port, the logical addresses and times, and "Find", which asks the local
// network for DoIP entities and takes the address of the one picked.
class DoipPage : public QWidget {
public:
    // changed: called whenever a field changes, to compose the link string.
    explicit DoipPage(std::function<void()> changed);
    ~DoipPage() override;

    // The fields' link string in its shortest form (as typed where a field
    // does not fit).
    QString linkText() const;
    void show(const DoipSettings& settings);

private:
    void find();
    // On the UI thread, with what discovery found (one line per entity and
    // its address) or why it failed.
    void offer(const QStringList& lines, const QStringList& addresses, const QString& problem);

    std::function<void()> changed_;
    QComboBox* host_;
    QSpinBox* port_;
    QLineEdit* target_;
    QLineEdit* tester_;
    QLineEdit* activation_;
    QComboBox* version_;
    QSpinBox* p2max_;
    QSpinBox* timeout_;
    QPushButton* find_;
    // Discovery waits for answers off the UI thread; joined on the way out.
    std::jthread finder_;
};

} // namespace vistrel
