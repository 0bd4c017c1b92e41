#version 330 core
// Shadow pass, fragment stage: nothing to compute. The rasteriser stores each face's projected depth,
// which keeps early depth rejection; the scene shader converts it back to a distance when it looks it up.

void main() {
}
