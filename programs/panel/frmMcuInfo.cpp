#include "programs/panel/frmMcuInfo.h"

#include "common/core/firmware_info.h"

namespace koral::panel {
namespace {

constexpr int kLineHeight = 255;

}  // namespace

frmMcuInfo::frmMcuInfo(ui::Application& app, const device::Controller& controller)
    : InformationDialog(app, "frmMcuInfo"), controller_(controller) {}

void frmMcuInfo::Design() {
  DesignFurniture(" MCU Information", kLineHeight);
  lblMcuInfo.Create(*this, {kContentLeft, kContentTop, kContentRight - kContentLeft, kLineHeight},
                    "MCU-Mode=D4  MCU-Version=4.2  Checksum=00000000");
  lblMcuInfo.Alignment(ui::Alignment::Centre);
  lblMcuInfo.ForeColor(ui::kDarkBlue);
}

void frmMcuInfo::Form_Load() {
  lblMcuInfo.Caption(McuInfoText(controller_.Block()));
  DressDialog(*this);
}

}  // namespace koral::panel
