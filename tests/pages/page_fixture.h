#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "pages/page_control.h"
#include "support/master_fixture.h"

namespace tandrin::test {

// A page's logic on the global master; the page's controls and the main
// window's share one in-memory form.
class PageFixture : public MasterFixture {
  protected:
    template <std::size_t N>
    static void AddControls(FakeForm& form, const std::array<PageControl, N>& controls) {
        for (const PageControl& control : controls) {
            form.Add(control.id);
        }
    }

    FakeForm& form = mainForm;
};

}  // namespace tandrin::test
