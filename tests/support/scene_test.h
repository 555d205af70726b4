// scene_test.h: a fixture that gives every unit test a fresh scene and a fresh fake GLUT.
#pragma once

#include <FL/glut.H>
#include <gtest/gtest.h>

#include "fake_glut.h"
#include "scene.h"

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_glut::Reset();
    drawMode = 1;
    spinAngle = 0.0f;
    scaleFactor = 1.0f;
  }
};
