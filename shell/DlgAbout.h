#pragma once
/// CDlgAbout: the modal About box with the product line, the rights notice and the utility's
/// version.
#include "platform/Dialogs.h"
#include "ui/NewPage.h"

#include <string>

class CDlgAbout final : public CNewPage, public platform::ModalDialog
{
public:
    explicit CDlgAbout(QWidget* parent = nullptr);
    ~CDlgAbout() override;

    bool OnInitDialog() override;

    std::string_view modalName() const override { return "CDlgAbout"; }
    std::intptr_t execModal() override { return DoModal(); }

    static constexpr const char* kRightsNotice = "Copyright (C) 2026 Quelmar. All rights reserved.";
};
