#version 330 core
// Shadow fragment stage: the rasteriser writes the depth; no colour is produced.

void main() {
}
