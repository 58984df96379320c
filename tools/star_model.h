// The star of the morph scene, in its two shapes: a blunt, pillowy five-pointed star and a
// sharp, flat-faceted one. Both have the same vertices and faces in the same order, so the
// scene can blend vertex i of one into vertex i of the other.
#pragma once

#include "tools/model_writer.h"

enum class StarShape { blunt, sharp };

// The file content of one shape. The blunt shape's faces run counter-clockwise seen from
// outside. The sharp shape stores every face with its winding reversed (corners 0, 2, 1),
// because the scene walks the second model's faces in the opposite order.
MeshFile starModel(StarShape shape);
