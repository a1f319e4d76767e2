// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QSpinBox;
class QStackedWidget;

namespace vistrel {

class DoipPage;
struct CanSettings;
struct ElmSettings;
class DiagnosticFields;

// The "Connection" dialog: the kind of link, its device or file, and the
// keys of a K-line, an adapter or a CAN link, put together into one link
// string by the link's own settings; or the link string typed as it is.
class ConnectionDialog : public QDialog {
public:
    // Takes a link string into use; returns "" or why it cannot be used.
    using LinkUser = std::function<QString(const QString&)>;

    ConnectionDialog(const QString& current, LinkUser useLink, QWidget* parent);
    ~ConnectionDialog() override;

    QString linkText() const;

    // Closes once the link is in use; says why otherwise and stays open.
    void accept() override;

private:
    QWidget* simulatorPage();
    QWidget* kLinePage();
    QWidget* adapterPage();
    void composeAdapter();
    void showAdapter(const ElmSettings& settings);
    QWidget* canPage();
    void composeCan();
    void showCan(const CanSettings& settings);
    void compose();
    void browseDescription();

    LinkUser useLink_;
    QComboBox* kind_;
    QStackedWidget* pages_;
    QLineEdit* ecuFile_;
    QComboBox* device_;
    QComboBox* baud_;
    QComboBox* init_;
    QLineEdit* target_;
    QLineEdit* source_;
    QSpinBox* p2max_;
    QSpinBox* p3min_;
    QSpinBox* p4min_;
    QComboBox* echo_;
    QComboBox* elmDevice_;
    QComboBox* elmBaud_;
    QComboBox* elmProtocol_;
    QLineEdit* elmTarget_;
    QLineEdit* elmSource_;
    QLineEdit* elmTx_;
    QLineEdit* elmRx_;
    QSpinBox* elmTimeout_;
    std::unique_ptr<DiagnosticFields> elmDiagnostic_;
    QComboBox* canDevice_;
    QSpinBox* canPort_;
    QLineEdit* canBus_;
    QComboBox* canBitrate_;
    QLineEdit* canTx_;
    QLineEdit* canRx_;
    QLineEdit* canPad_;
    QSpinBox* canStmin_;
    QSpinBox* canBlockSize_;
    QSpinBox* canP2max_;
    QSpinBox* canTimeout_;
    QLineEdit* canExt_;
    QLineEdit* canRxExt_;
    QLineEdit* canPrx_;
    std::unique_ptr<DiagnosticFields> canDiagnostic_;
    DoipPage* doip_;
    QLineEdit* link_;
};

} // namespace vistrel
