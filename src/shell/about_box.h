#pragma once

#include <string>

#include "shell/form.h"
#include "shell/shell_services.h"

namespace tandrin {

namespace about_ids {
constexpr int kVersionLine = 1028;
constexpr int kCompanyLine = 1102;
constexpr int kOk = 1;
}  // namespace about_ids

// The product's name, company line and contact address, from "kvrfw.dat"
// beside the program; empty texts when the file is missing.
struct ProductInfo {
    std::string name;
    std::string company;
    std::string web;
};

ProductInfo ReadProductInfo();

// Fills the About box's controls from the language file and the product
// file; returns the box's title, "About <name>".
std::string InitAboutBox(Form& form);

// Hands the contact address to the opener. Only web and mail addresses go
// out: the file beside the program must not be able to run anything.
void OpenContactAddress(ShellServices& shell);
bool IsSafeAddress(const std::string& address);

}  // namespace tandrin
