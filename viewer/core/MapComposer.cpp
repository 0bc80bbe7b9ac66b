// SPDX-License-Identifier: GPL-3.0-or-later
#include "MapComposer.h"

#include <QPainter>
#include <memory>

namespace mw {

std::vector<QImage> MapComposer::Compose(const ViewGeometry& view,
                                         const std::vector<QRect>& areas) const {
  std::vector<QImage> images;
  std::vector<std::unique_ptr<QPainter>> owned;
  std::vector<QPainter*> painters;
  QRect all;
  for (const QRect& area : areas) {
    QImage image = layers_.empty() ? QImage() : layers_.front()->MakeCanvas(view, area);
    images.push_back(image.isNull() ? QImage(area.size(), QImage::Format_RGB32) : std::move(image));
    all = all.united(area);
  }
  for (size_t k = 0; k < areas.size(); ++k) {
    owned.push_back(std::make_unique<QPainter>(&images[k]));
    owned[k]->translate(-areas[k].topLeft());
    painters.push_back(owned[k].get());
  }
  const Canvas canvas{areas, painters, all};
  for (const MapLayer* layer : layers_) layer->Draw(view, canvas);
  owned.clear();
  return images;
}

}  // namespace mw
