#include "shell/about_box.h"

#include <algorithm>
#include <cctype>

#include "shell/lang_text.h"
#include "shell/private_profile.h"
#include "shell/program_dir.h"

namespace tandrin {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

ProductInfo ReadProductInfo() {
    const std::string path = ProgramDir() + "kvrfw.dat";
    return {ReadProfileString(path, "SoftInf", "Name"),
            ReadProfileString(path, "SoftInf", "Commpany"),
            ReadProfileString(path, "SoftInf", "web")};
}

std::string InitAboutBox(Form& form) {
    TranslateControl(form, about_ids::kCompanyLine, "IDC_STA1", "About");
    TranslateControl(form, about_ids::kOk, "IDOK", "About");
    const ProductInfo info = ReadProductInfo();
    form.SetText(about_ids::kCompanyLine, info.company);
    form.SetText(about_ids::kVersionLine, info.name + "  " + form.Text(about_ids::kVersionLine));
    form.SetFocus(about_ids::kOk);
    return "About " + info.name;
}

bool IsSafeAddress(const std::string& address) {
    const std::string lower = Lower(address);
    for (const char* scheme : {"http://", "https://"}) {
        if (StartsWith(lower, scheme) && lower.size() > std::char_traits<char>::length(scheme)) {
            return true;
        }
    }
    return StartsWith(lower, "mailto:") && lower.size() > 7;
}

void OpenContactAddress(ShellServices& shell) {
    const std::string web = ReadProductInfo().web;
    if (!web.empty() && IsSafeAddress(web)) {
        shell.OpenAddress(web);
    }
}

}  // namespace tandrin
