#include "form_layout.h"

#include <cstring>

namespace pile::ui {
namespace {

const Placement kPlacements[] = {
    // The input screen.
    {"lb_cxm", {84, 12, 209, 33}},
    {"cbt_CopyRight", {330, 6, 21, 21}},
    {"gpb_srcs", {4, 56, 355, 233}},
    {"lb_jmlx", {8, 28, 240, 32}},
    {"cbb_jmlx", {258, 28, 89, 32}},
    {"lb_dd", {8, 61, 240, 32}},
    {"cbe_dd", {258, 61, 89, 32}},
    {"lb_tyzd", {8, 94, 240, 32}},
    {"cbe_tyzd", {258, 94, 89, 32}},
    {"lb_hr", {8, 127, 240, 32}},
    {"cbe_hr", {258, 127, 89, 32}},
    {"lb_hnt", {8, 160, 240, 32}},
    {"cbb_hnt", {258, 160, 89, 32}},
    {"lb_czgy", {8, 193, 130, 32}},
    {"cbb_czgy", {138, 193, 209, 32}},
    {"gpb_ysqdqz", {4, 300, 355, 105}},
    {"rdb_fuk", {4, 32, 250, 25}},
    {"edt_fuk", {258, 28, 89, 32}},
    {"rdb_frk", {4, 65, 250, 25}},
    {"edt_frk", {258, 61, 89, 32}},
    {"gpb_scjg", {4, 418, 355, 185}},
    {"cbt_JingDu", {324, 10, 21, 21}},
    {"lb_kesair", {8, 33, 242, 32}},
    {"edt_kesair", {258, 32, 89, 32}},
    {"lb_ra", {8, 66, 242, 32}},
    {"edt_ra", {258, 65, 89, 32}},
    {"lb_rc", {8, 99, 242, 32}},
    {"edt_rc", {258, 98, 89, 32}},
    {"lb_guifan", {-2, 132, 351, 25}},
    {"lb_tiaowen", {0, 156, 356, 25}},
    {"popbox_jingdu", {234, 0, 90, 32}},
    {"cbt_compute", {56, 614, 89, 33}},
    {"cbt_View", {56, 614, 89, 33}},
    {"cbt_tuichu", {208, 614, 89, 33}},
    {"img_Logo", {0, 656, 361, 32}},
    {"lb_shuoming", {20, 656, 300, 32}},
    // The book screen.
    {"lb_jisuanjieguo", {84, 12, 192, 33}},
    {"cbt_PageBook", {330, 6, 21, 21}},
    {"meo_jisuanjieguo_Doc", {4, 56, 355, 547}},
    {"meo_jisuanjieguo_Xls", {4, 56, 355, 547}},
    {"cbt_sanchu", {344, 604, 16, 16}},
    {"cbt_Exit", {56, 614, 89, 33}},
    {"cbt_Save", {208, 614, 89, 33}},
    {"tcb_meoFontSize", {56, 654, 241, 32}},
    {"fnd_chazhao", {4, 571, 355, 32}},  // the find bar, over the memo's foot while open
};

}  // namespace

std::span<const Placement> FormPlacements() {
    return kPlacements;
}

QRect DesignRect(const char* name) {
    for (const Placement& placement : kPlacements) {
        if (std::strcmp(placement.name, name) == 0) {
            return placement.rect;
        }
    }
    return {};
}

}  // namespace pile::ui
