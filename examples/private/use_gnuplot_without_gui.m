function use_gnuplot_without_gui()
%USE_GNUPLOT_WITHOUT_GUI  Octave without its GUI draws invisible figures with gnuplot.
%   In octave-cli, a script or a test, the examples' figures are drawn by gnuplot when it is
%   there; MATLAB and Octave's GUI keep their own toolkit.
  if exist('OCTAVE_VERSION', 'builtin') && ~isguirunning() ...
     && any(strcmp(available_graphics_toolkits(), 'gnuplot'))
    warning('off', 'Octave:gnuplot-graphics', 'local');   % its note on interactive use
    graphics_toolkit('gnuplot');
  end
end
