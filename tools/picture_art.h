// The painting code of every picture; see picture_catalogue.cpp for where each one is used.
#pragma once

#include "tools/image.h"

#include <vector>

// Full-screen pictures, 640 x 480.
Image paintLoading();
Image paintCubeBackdrop();
Image paintGreeting(int which); // 0 to 3

// Square backgrounds whose rows 0.125 to 0.875 fill the screen, 512 x 512.
Image paintMindControl();
Image paintNoSmorking();
Image paintFriends();

// Surfaces.
Image paintStarMetal();   // the star
Image paintFloorTiles();  // hall floor, greetings particles
Image paintTunnelWall();  // tunnel wall
Image paintCircuitFace(); // inner cubes, helix ribbons
Image paintCeiling();     // outer cubes, hall ceiling
Image paintSphereSkin();  // spheres
Image paintPillar();      // pillars

// Mask and light pairs: {mask, light}.
std::vector<Image> paintBanner(int which); // 0 "REALTIME POLYGONS", 1 "SO MANY", 2 the count
std::vector<Image> paintFlame();
