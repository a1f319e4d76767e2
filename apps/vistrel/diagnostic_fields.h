// SPDX-License-Identifier: MIT
#pragma once

#include "link/diagnostic_settings.h"

#include <functional>

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace vistrel {

// The fields of the keys diag, security, key and (where periodic frames can
// come) rate, the same on every page of a link that can speak UDS.
class DiagnosticFields {
public:
    // Adds the rows to form; changed runs on every edit.
    DiagnosticFields(QFormLayout& form, DiagnosticKeyChoice choice,
                     const std::function<void()>& changed);

    void show(const DiagnosticSettings& settings);
    // The keys as the fields give them: where one does not fit, as typed,
    // so that the link string shows the mistake.
    void addKeys(LinkString& fields) const;

private:
    DiagnosticKeyChoice choice_;
    QComboBox* diag_ = nullptr;
    QLineEdit* security_ = nullptr;
    QLineEdit* key_ = nullptr;
    QComboBox* rate_ = nullptr;
};

} // namespace vistrel
