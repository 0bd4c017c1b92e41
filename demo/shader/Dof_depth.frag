#version 330 core
// Depth-of-field depth stage: the rasteriser writes the depth; no colour is produced.

void main() {
}
